// The installed game: `cmake --install` into a scratch DESTDIR and started from an
// unrelated folder, its desktop files checked by Debian's validators, and the .deb that
// cpack makes of the same files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "support/child_process.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using testing::RunCommand;
using testing::ScratchDir;
namespace fs = std::filesystem;

const std::string kAppId = FENWHIT_APP_ID;

bool HaveTool(const std::string& name) {
  std::string ignored;
  return RunCommand({"sh", "-c", "command -v " + name}, ignored) == 0;
}

// Every regular file below the folder, as "/usr/..." paths.
std::set<std::string> InstalledFiles(const fs::path& root) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.insert("/" + fs::relative(entry.path(), root).string());
  }
  return files;
}

class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string output;
    ASSERT_EQ(RunCommand({"env", "DESTDIR=" + destdir.str(), CMAKE_COMMAND, "--install",
                          FENWHIT_BINARY_DIR, "--prefix", "/usr"},
                         output),
              0)
        << output;
  }
  fs::path Usr() const { return destdir.path() / "usr"; }

  ScratchDir destdir;
};

TEST_F(Installed, StartsFromAnUnrelatedFolderAndReachesTheMenu) {
  std::set<std::string> expected = {"/usr/bin/fenwhit", "/usr/share/fenwhit/quellard.data",
                                    "/usr/share/applications/" + kAppId + ".desktop",
                                    "/usr/share/metainfo/" + kAppId + ".metainfo.xml",
                                    "/usr/share/doc/fenwhit/copyright"};
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    expected.insert("/usr/share/icons/hicolor/" + folder + "/apps/" + kAppId + ".png");
  }
  EXPECT_EQ(InstalledFiles(destdir.path()), expected);

  ScratchDir work, temp;
  const auto child = testing::StartProgram((Usr() / "bin" / "fenwhit").string(), work, temp);
  ASSERT_EQ(testing::WaitFor(child, std::chrono::milliseconds(1500)), -1)
      << testing::ReadText(child.stderrFile);
  EXPECT_TRUE(fs::is_regular_file(temp.path() / ("fenwhit-" + std::to_string(getuid())) / "data" /
                                  "options_new.png"));
  EXPECT_EQ(testing::CloseFromTheMenu(child), 0) << testing::ReadText(child.stderrFile);
}

TEST_F(Installed, DesktopEntryAndMetadataPassTheValidators) {
  if (!HaveTool("desktop-file-validate") || !HaveTool("appstreamcli")) {
    GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) or appstreamcli (appstream) "
                    "is not installed";
  }
  std::string output;
  EXPECT_EQ(RunCommand({"desktop-file-validate",
                        (Usr() / "share" / "applications" / (kAppId + ".desktop")).string()},
                       output),
            0)
      << output;
  EXPECT_EQ(output, "");
  // The whole tree: the metadata, the menu entry it names and the icon that one names.
  EXPECT_EQ(
      RunCommand({"appstreamcli", "validate-tree", "--no-net", "--strict", destdir.str()}, output),
      0)
      << output;
}

TEST(Package, DebDependsOnTheBinarysLibrariesAndInstallsTheSameFiles) {
  if (!HaveTool("dpkg-shlibdeps") || !HaveTool("dpkg-deb")) {
    GTEST_SKIP() << "dpkg-shlibdeps (dpkg-dev) is not installed";
  }
  ScratchDir packages, destdir;
  std::string output;
  ASSERT_EQ(
      RunCommand({CPACK_COMMAND, "-G", "DEB", "--config",
                  std::string(FENWHIT_BINARY_DIR) + "/CPackConfig.cmake", "-B", packages.str()},
                 output),
      0)
      << output;
  fs::path deb;
  for (const auto& entry : fs::directory_iterator(packages.path())) {
    if (entry.path().extension() == ".deb") deb = entry.path();
  }
  ASSERT_FALSE(deb.empty()) << output;
  EXPECT_EQ(deb.filename().string().rfind("fenwhit_", 0), 0u) << deb;

  ASSERT_EQ(RunCommand({"dpkg-deb", "-f", deb.string(), "Depends"}, output), 0) << output;
  for (const char* library : {"libc6", "libsdl2-2.0-0", "libvorbisfile3", "libdeflate0"}) {
    EXPECT_NE(output.find(library), std::string::npos) << library << " in " << output;
  }

  ASSERT_EQ(RunCommand({"dpkg-deb", "-x", deb.string(), destdir.str()}, output), 0) << output;
  // Nobody may share a package without its license: Debian's machine-readable copyright file,
  // and the same identifier in the metadata software centres show.
  const std::string copyright =
      testing::ReadText(destdir.path() / "usr" / "share" / "doc" / "fenwhit" / "copyright");
  EXPECT_EQ(copyright.rfind(
                "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0),
            0u);
  EXPECT_NE(copyright.find("\nFiles: *\nCopyright: "), std::string::npos) << copyright;
  EXPECT_NE(copyright.find("\nLicense: GPL-3.0-or-later\n"), std::string::npos) << copyright;
  EXPECT_NE(
      testing::ReadText(destdir.path() / "usr" / "share" / "metainfo" / (kAppId + ".metainfo.xml"))
          .find("<project_license>GPL-3.0-or-later</project_license>"),
      std::string::npos);
  ScratchDir installed;
  ASSERT_EQ(RunCommand({"env", "DESTDIR=" + installed.str(), CMAKE_COMMAND, "--install",
                        FENWHIT_BINARY_DIR, "--prefix", "/usr"},
                       output),
            0)
      << output;
  EXPECT_EQ(InstalledFiles(destdir.path()), InstalledFiles(installed.path()));
}

}  // namespace
}  // namespace fenwhit
