// Every file of the PngSuite decodes exactly as libpng decodes it, and every broken one is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/libpng_oracle.h"
#include "image/png.h"

namespace fenwhit {
namespace {

namespace fs = std::filesystem;

// Kept beside the repo; FENWHIT_PNGSUITE points elsewhere, as from a separate work tree.
fs::path SuiteDir() {
  const char* dir = std::getenv("FENWHIT_PNGSUITE");
  if (dir != nullptr && *dir != '\0') return dir;
  return fs::path(FENWHIT_SOURCE_DIR) / ".." / "shared" / "testdata" / "pngsuite";
}

std::vector<fs::path> PngFilesIn(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    if (entry.path().extension() == ".png") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsBrokenOnPurpose(const fs::path& path) {
  return path.filename().string()[0] == 'x';
}

// Reports the first differing pixel rather than thousands of them.
::testing::AssertionResult SamePixels(const Image& ours, const Image& reference) {
  if (ours.width != reference.width || ours.height != reference.height) {
    return ::testing::AssertionFailure() << "size " << ours.width << "x" << ours.height << " vs "
                                         << reference.width << "x" << reference.height;
  }
  for (size_t i = 0; i < ours.pixels.size(); ++i) {
    if (ours.pixels[i] != reference.pixels[i]) {
      return ::testing::AssertionFailure()
             << "pixel (" << i % ours.width << ", " << i / ours.width << "): " << std::hex
             << ours.pixels[i] << " vs " << reference.pixels[i];
    }
  }
  return ::testing::AssertionSuccess();
}

// Where our rules and libpng's part ways, none of the valid suite files is affected; the edge
// tests pin our side: a tRNS key outside the sample range never matches (libpng masks it to
// the bit depth), a tRNS longer than the palette still applies (libpng drops the chunk), and a
// bad CRC on an ancillary chunk refuses the file (libpng warns and skips the chunk).
class PngSuite : public ::testing::Test {
 protected:
  void SetUp() override {
    files_ = PngFilesIn(SuiteDir());
    if (files_.empty()) GTEST_SKIP() << "PngSuite not found at " << SuiteDir();
  }
  std::vector<fs::path> files_;
};

TEST_F(PngSuite, ValidFilesMatchLibpngPixelForPixel) {
  int compared = 0;
  for (const fs::path& path : files_) {
    if (IsBrokenOnPurpose(path)) continue;
    SCOPED_TRACE(path.filename().string());
    const std::vector<uint8_t> bytes = ReadBytes(path);
    const std::optional<Image> ours = DecodePng(path.string());
    const std::optional<Image> reference = testing::DecodeWithLibpng(bytes.data(), bytes.size());
    ASSERT_TRUE(reference.has_value());
    ASSERT_TRUE(ours.has_value());
    EXPECT_TRUE(SamePixels(*ours, *reference));
    ++compared;
  }
  EXPECT_GT(compared, 150);
}

TEST_F(PngSuite, BrokenFilesGiveNothing) {
  int refused = 0;
  for (const fs::path& path : files_) {
    if (!IsBrokenOnPurpose(path)) continue;
    SCOPED_TRACE(path.filename().string());
    EXPECT_FALSE(DecodePng(path.string()).has_value());
    ++refused;
  }
  EXPECT_EQ(refused, 14);
}

TEST(GamePictures, MatchLibpngPixelForPixel) {
  const std::vector<fs::path> files = PngFilesIn(fs::path(FENWHIT_SOURCE_DIR) / "assets");
  if (files.empty()) GTEST_SKIP() << "no assets/*.png";
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    const std::vector<uint8_t> bytes = ReadBytes(path);
    const std::optional<Image> ours = DecodePng(path.string());
    const std::optional<Image> reference = testing::DecodeWithLibpng(bytes.data(), bytes.size());
    ASSERT_TRUE(ours && reference);
    EXPECT_TRUE(SamePixels(*ours, *reference));
  }
}

}  // namespace
}  // namespace fenwhit
