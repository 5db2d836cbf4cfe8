// The private folder the archive is unpacked into.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/output_root.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using testing::ScratchDir;

std::string ExpectedRoot(const ScratchDir& temp) {
  return temp.str() + "/fenwhit-" + std::to_string(getuid());
}

TEST(OutputRoot, IsCreatedPrivateWithItsDataFolders) {
  ScratchDir temp;
  std::string error;
  const std::string root = PrepareOutputRoot(temp.str(), error);
  EXPECT_EQ(root, ExpectedRoot(temp)) << error;
  struct stat info {};
  ASSERT_EQ(stat(root.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_TRUE(std::filesystem::is_directory(root + "/data/balls"));
  // A second start finds it in place and uses it again.
  EXPECT_EQ(PrepareOutputRoot(temp.str(), error), root);
}

TEST(OutputRoot, AnExistingLooseFolderIsMadePrivate) {
  ScratchDir temp;
  const std::string root = ExpectedRoot(temp);
  ASSERT_EQ(mkdir(root.c_str(), 0777), 0);
  chmod(root.c_str(), 0777);
  std::string error;
  EXPECT_EQ(PrepareOutputRoot(temp.str(), error), root);
  struct stat info {};
  ASSERT_EQ(stat(root.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(OutputRoot, LinksAndFilesInItsPlaceAreRefused) {
  ScratchDir temp;
  ScratchDir elsewhere;
  std::filesystem::create_directory_symlink(elsewhere.path(), ExpectedRoot(temp));
  std::string error;
  EXPECT_EQ(PrepareOutputRoot(temp.str(), error), "");
  EXPECT_NE(error.find("symbolic link"), std::string::npos);
  EXPECT_TRUE(elsewhere.Files().empty());
  EXPECT_FALSE(std::filesystem::exists(elsewhere.path() / "data"));

  ScratchDir other;
  other.WriteFile("fenwhit-" + std::to_string(getuid()), {'x'});
  EXPECT_EQ(PrepareOutputRoot(other.str(), error), "");
  EXPECT_NE(error.find("not a directory"), std::string::npos);
}

TEST(OutputRoot, MissingTemporaryDirectoryIsReported) {
  std::string error;
  EXPECT_EQ(PrepareOutputRoot("/nonexistent/fenwhit/place", error), "");
  EXPECT_FALSE(error.empty());
}

TEST(OutputRoot, TemporaryDirectoryComesFromTmpdirOrDefaultsToTmp) {
  const char* saved = std::getenv("TMPDIR");
  const std::string restore = saved ? saved : "";
  setenv("TMPDIR", "/some/where", 1);
  EXPECT_EQ(TemporaryDirectory(), "/some/where");
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(TemporaryDirectory(), "/tmp");
  unsetenv("TMPDIR");
  EXPECT_EQ(TemporaryDirectory(), "/tmp");
  if (saved) setenv("TMPDIR", restore.c_str(), 1);
}

}  // namespace
}  // namespace fenwhit
