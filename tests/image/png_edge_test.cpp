// Small hand-built files: what must decode, what must be refused, and what each pixel becomes.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "image/libpng_oracle.h"
#include "image/png.h"
#include "image/png_test_writer.h"
#include "platform/file_bytes.h"

namespace fenwhit {
namespace {

using testing::Bytes;
using testing::PngBuilder;
using testing::Scanlines;

std::optional<Image> Decode(const Bytes& bytes) {
  return DecodePngBuffer(bytes.data(), bytes.size());
}

// A 2 x 2 palette picture with an ancillary chunk between the data and the end.
PngBuilder PalettePicture() {
  PngBuilder png;
  png.Header(2, 2, 8, 3)
      .Chunk("PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255})
      .Chunk("tRNS", {128})
      .Data(Scanlines({{0, 1}, {2, 1}}))
      .Chunk("tEXt", {'a', 0, 'b'})
      .End();
  return png;
}

TEST(PngDecode, OnePixelRgbaKeepsItsColour) {
  PngBuilder png;
  png.Header(1, 1, 8, 6).Data(Scanlines({{0x12, 0x34, 0x56, 0x78}})).End();
  const std::optional<Image> image = Decode(png.bytes());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 1);
  EXPECT_EQ(image->height, 1);
  EXPECT_EQ(image->pixels, std::vector<uint32_t>{0x78123456});
}

TEST(PngDecode, AnyFlippedCrcBitRefusesTheFile) {
  const PngBuilder png = PalettePicture();
  const std::optional<Image> intact = Decode(png.bytes());
  ASSERT_TRUE(intact);
  EXPECT_EQ(intact->pixels,
            (std::vector<uint32_t>{0x80ff0000, 0xff00ff00, 0xff0000ff, 0xff00ff00}));
  for (size_t chunk = 0; chunk < png.ChunkCount(); ++chunk) {
    for (int bit = 0; bit < 32; ++bit) {
      Bytes broken = png.bytes();
      broken[png.CrcOffset(chunk) + bit / 8] ^= uint8_t(1 << (bit % 8));
      EXPECT_FALSE(Decode(broken)) << "chunk " << chunk << " bit " << bit;
    }
  }
}

TEST(PngDecode, AnythingAfterTheEndRefusesTheFile) {
  const Bytes valid = PalettePicture().bytes();
  for (const Bytes& tail : {Bytes{0}, Bytes{0, 0, 0, 0, 'I', 'E', 'N'}, Bytes(12, 0)}) {
    Bytes bytes = valid;
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    EXPECT_FALSE(Decode(bytes)) << tail.size() << " trailing bytes";
  }
  PngBuilder chunkAfterEnd = PalettePicture();
  chunkAfterEnd.Chunk("tEXt", {'a', 0, 'b'});
  EXPECT_FALSE(Decode(chunkAfterEnd.bytes()));
}

TEST(PngDecode, TruncatedOrUnsignedFilesAreRefused) {
  const Bytes valid = PalettePicture().bytes();
  for (size_t size = 0; size < valid.size(); ++size) {
    EXPECT_FALSE(DecodePngBuffer(valid.data(), size)) << size << " bytes";
  }
  Bytes unsigned_ = valid;
  unsigned_[1] = 'p';
  EXPECT_FALSE(Decode(unsigned_));
  EXPECT_FALSE(DecodePngBuffer(nullptr, 0));
}

TEST(PngDecode, ImageDataSplitAcrossChunksIsJoined) {
  Bytes rows;
  for (int y = 0; y < 4; ++y) rows.insert(rows.end(), {0, uint8_t(10 * y), uint8_t(10 * y + 1)});
  const Bytes packed = testing::Deflate(rows);
  const size_t third = packed.size() / 3;
  PngBuilder png;
  png.Header(2, 4, 8, 0)
      .Chunk("IDAT", Bytes(packed.begin(), packed.begin() + third))
      .Chunk("tEXt", {'k', 0, 'v'})
      .Chunk("IDAT", {})
      .Chunk("IDAT", Bytes(packed.begin() + third, packed.begin() + 2 * third))
      .Chunk("zzZZ", {1, 2, 3})
      .Chunk("IDAT", Bytes(packed.begin() + 2 * third, packed.end()))
      .End();
  const std::optional<Image> image = Decode(png.bytes());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels[7], 0xff1f1f1f);
}

TEST(PngDecode, HeaderAcceptsOnlyTheStandardDepthsAndMethods) {
  const auto valid = [](int colour, int depth) {
    switch (colour) {
      case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
      case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
      case 2:
      case 4:
      case 6:
        return depth == 8 || depth == 16;
    }
    return false;
  };
  for (int colour = 0; colour <= 8; ++colour) {
    for (int depth = 0; depth <= 17; ++depth) {
      // One row of one pixel is at most 9 bytes; zeros decode for every valid combination.
      PngBuilder png;
      png.Header(1, 1, uint8_t(depth), uint8_t(colour)).Chunk("PLTE", {1, 2, 3});
      const int bytes = depth < 8 ? 1
                                  : depth / 8 *
                                        (colour == 2   ? 3
                                         : colour == 4 ? 2
                                         : colour == 6 ? 4
                                                       : 1);
      png.Data(Scanlines({Bytes(size_t(bytes), 0)})).End();
      EXPECT_EQ(Decode(png.bytes()).has_value(), valid(colour, depth))
          << "colour " << colour << " depth " << depth;
    }
  }
  for (const Bytes& header : {testing::HeaderData(0, 1, 8, 0), testing::HeaderData(1, 0, 8, 0),
                              testing::HeaderData(1, 1, 8, 0, 2)}) {
    PngBuilder png;
    png.Chunk("IHDR", header).Data(Scanlines({{0}})).End();
    EXPECT_FALSE(Decode(png.bytes()));
    // Not even with no image data at all to match the empty picture.
    PngBuilder empty;
    empty.Chunk("IHDR", header).Data(Scanlines({})).End();
    EXPECT_FALSE(Decode(empty.bytes()));
  }
  for (int method = 1; method <= 2; ++method) {  // compression, then filter method
    Bytes header = testing::HeaderData(1, 1, 8, 0);
    header[9 + method] = 1;
    PngBuilder png;
    png.Chunk("IHDR", header).Data(Scanlines({{0}})).End();
    EXPECT_FALSE(Decode(png.bytes()));
  }
  PngBuilder notFirst;
  notFirst.Chunk("tEXt", {'a', 0}).Header(1, 1, 8, 0).Data(Scanlines({{0}})).End();
  EXPECT_FALSE(Decode(notFirst.bytes()));
}

TEST(PngDecode, TransparencyMustFitTheColourType) {
  const auto withTrns = [](uint8_t colour, const Bytes& trns) {
    const size_t channels = colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1;
    PngBuilder png;
    png.Header(1, 1, 8, colour).Chunk("PLTE", {9, 9, 9}).Chunk("tRNS", trns);
    png.Data(Scanlines({Bytes(channels, 0)})).End();
    return Decode(png.bytes());
  };
  EXPECT_FALSE(withTrns(6, {0, 0}));
  EXPECT_FALSE(withTrns(4, {0, 0}));
  EXPECT_FALSE(withTrns(0, {0}));
  EXPECT_FALSE(withTrns(0, {0, 0, 0}));
  EXPECT_FALSE(withTrns(2, {0, 0, 0, 0}));
  EXPECT_FALSE(withTrns(2, Bytes(8, 0)));
  EXPECT_FALSE(withTrns(3, Bytes(257, 0)));
  ASSERT_TRUE(withTrns(3, Bytes(256, 7)));
  EXPECT_EQ(withTrns(3, Bytes(256, 7))->pixels[0], 0x07090909u);
  EXPECT_EQ(withTrns(0, {0, 0})->pixels[0], 0x00000000u);
  EXPECT_EQ(withTrns(2, {0, 0, 0, 0, 0, 0})->pixels[0], 0x00000000u);
  // A key outside the sample range never matches (libpng masks it to the depth instead).
  EXPECT_EQ(withTrns(0, {1, 0})->pixels[0], 0xff000000u);
  EXPECT_EQ(withTrns(2, {1, 0, 0, 0, 0, 0})->pixels[0], 0xff000000u);
}

TEST(PngDecode, SixteenBitKeysCompareWholeSamples) {
  PngBuilder grey;
  grey.Header(2, 1, 16, 0)
      .Chunk("tRNS", {0x12, 0x34})
      .Data(Scanlines({{0x12, 0x34, 0x12, 0x35}}))
      .End();
  ASSERT_TRUE(Decode(grey.bytes()));
  EXPECT_EQ(Decode(grey.bytes())->pixels, (std::vector<uint32_t>{0x00121212, 0xff121212}));

  PngBuilder rgb;
  rgb.Header(2, 1, 16, 2)
      .Chunk("tRNS", {0xa0, 1, 0xb0, 2, 0xc0, 3})
      .Data(Scanlines({{0xa0, 1, 0xb0, 2, 0xc0, 3, 0xa0, 1, 0xb0, 2, 0xc0, 4}}))
      .End();
  ASSERT_TRUE(Decode(rgb.bytes()));
  EXPECT_EQ(Decode(rgb.bytes())->pixels, (std::vector<uint32_t>{0x00a0b0c0, 0xffa0b0c0}));
}

TEST(PngDecode, PaletteRulesForEntriesAndAlphas) {
  // 4-bit indices 0..4 with two tRNS alphas; index 4 lies beyond the three-entry palette.
  PngBuilder png;
  png.Header(5, 1, 4, 3)
      .Chunk("PLTE", {10, 20, 30, 40, 50, 60, 70, 80, 90})
      .Chunk("tRNS", {0, 100})
      .Data(Scanlines({{0x01, 0x23, 0x4f}}))
      .End();
  const std::optional<Image> image = Decode(png.bytes());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels,
            (std::vector<uint32_t>{0x000a141e, 0x6428323c, 0xff46505a, 0xff000000, 0xff000000}));

  PngBuilder noPalette;
  noPalette.Header(1, 1, 8, 3).Data(Scanlines({{0}})).End();
  EXPECT_FALSE(Decode(noPalette.bytes()));
  PngBuilder hugePalette;
  hugePalette.Header(1, 1, 8, 3).Chunk("PLTE", Bytes(257 * 3, 1)).Data(Scanlines({{0}})).End();
  EXPECT_FALSE(Decode(hugePalette.bytes()));
  PngBuilder fullPalette;
  fullPalette.Header(1, 1, 8, 3).Chunk("PLTE", Bytes(256 * 3, 1)).Data(Scanlines({{255}})).End();
  EXPECT_EQ(Decode(fullPalette.bytes())->pixels[0], 0xff010101u);
  // Only the first PLTE counts; a palette is ignored in a true-colour image.
  PngBuilder twoPalettes;
  twoPalettes.Header(1, 1, 8, 3).Chunk("PLTE", {1, 2, 3}).Chunk("PLTE", {4, 5, 6});
  twoPalettes.Data(Scanlines({{0}})).End();
  EXPECT_EQ(Decode(twoPalettes.bytes())->pixels[0], 0xff010203u);
}

TEST(PngDecode, PackedGreySamplesScaleAndSkipPadding) {
  PngBuilder oneBit;
  oneBit.Header(3, 2, 1, 0).Data(Scanlines({{0b10111111}, {0b01000000}})).End();
  ASSERT_TRUE(Decode(oneBit.bytes()));
  EXPECT_EQ(Decode(oneBit.bytes())->pixels,
            (std::vector<uint32_t>{0xffffffff, 0xff000000, 0xffffffff, 0xff000000, 0xffffffff,
                                   0xff000000}));
  PngBuilder twoBit;
  twoBit.Header(4, 1, 2, 0).Chunk("tRNS", {0, 2}).Data(Scanlines({{0b00011011}})).End();
  EXPECT_EQ(Decode(twoBit.bytes())->pixels,
            (std::vector<uint32_t>{0xff000000, 0xff555555, 0x00aaaaaa, 0xffffffff}));
  PngBuilder fourBit;
  fourBit.Header(3, 1, 4, 0).Data(Scanlines({{0x0f, 0x7a}})).End();
  EXPECT_EQ(Decode(fourBit.bytes())->pixels,
            (std::vector<uint32_t>{0xff000000, 0xffffffff, 0xff777777}));
}

// Every filter type on every pixel distance, checked against libpng on random rows.
TEST(PngDecode, FiltersMatchLibpngForEveryPixelDistance) {
  std::mt19937 random(7);
  const struct {
    uint8_t depth, colour, bytesPerPixel;
  } layouts[] = {{8, 0, 1}, {16, 0, 2}, {8, 2, 3}, {8, 6, 4}, {16, 2, 6}, {16, 6, 8}};
  for (const auto& layout : layouts) {
    const uint32_t width = 5;
    std::vector<Bytes> rows;
    for (uint8_t filter = 0; filter < 10; ++filter) {
      Bytes row{uint8_t(filter % 5)};
      for (uint32_t i = 0; i < width * layout.bytesPerPixel; ++i) row.push_back(uint8_t(random()));
      rows.push_back(row);
    }
    Bytes scanlines;
    for (const Bytes& row : rows) scanlines.insert(scanlines.end(), row.begin(), row.end());
    PngBuilder png;
    png.Header(width, 10, layout.depth, layout.colour).Data(scanlines).End();
    const std::optional<Image> ours = Decode(png.bytes());
    const std::optional<Image> reference =
        testing::DecodeWithLibpng(png.bytes().data(), png.bytes().size());
    ASSERT_TRUE(ours && reference);
    EXPECT_EQ(ours->pixels, reference->pixels) << "bytes per pixel " << int(layout.bytesPerPixel);
  }
  // A Paeth tie between the left and the upper-left neighbour goes to the left one (30,
  // not 50): above 50 60, then left 30 with nothing added.
  PngBuilder tie;
  tie.Header(2, 2, 8, 0).Data({0, 50, 60, 4, 236, 0}).End();
  EXPECT_EQ(Decode(tie.bytes())->pixels,
            (std::vector<uint32_t>{0xff323232, 0xff3c3c3c, 0xff1e1e1e, 0xff1e1e1e}));
}

// Rows are converted several pixels at a time with the rest one by one, and runs of Paeth rows
// are undone two at a time: every width up to a few vector steps, each filter type, odd and even
// runs of Paeth rows and each pixel layout must still match libpng to the last pixel.
TEST(PngDecode, EveryRowWidthMatchesLibpng) {
  std::mt19937 random(3);
  const struct {
    uint8_t depth, colour, bitsPerPixel;
  } layouts[] = {{8, 2, 24}, {8, 6, 32}, {8, 0, 8}, {8, 4, 16}, {4, 3, 4}, {16, 6, 64}};
  for (const auto& layout : layouts) {
    for (uint32_t width = 1; width <= 21; ++width) {
      const size_t rowBytes = (size_t{width} * layout.bitsPerPixel + 7) / 8;
      const Bytes filters = {4, 4, 1, 4, 4, 4, 2, 3, 0, 4, 4};
      Bytes scanlines;
      for (uint8_t filter : filters) {
        scanlines.push_back(filter);
        for (size_t i = 0; i < rowBytes; ++i) scanlines.push_back(uint8_t(random()));
      }
      PngBuilder png;
      png.Header(width, uint32_t(filters.size()), layout.depth, layout.colour);
      if (layout.colour == 3) png.Chunk("PLTE", Bytes(16 * 3, 0x5a)).Chunk("tRNS", {1, 2, 3});
      png.Data(scanlines).End();
      const std::optional<Image> ours = Decode(png.bytes());
      const std::optional<Image> reference =
          testing::DecodeWithLibpng(png.bytes().data(), png.bytes().size());
      ASSERT_TRUE(ours && reference);
      EXPECT_EQ(ours->pixels, reference->pixels) << "colour " << int(layout.colour) << " depth "
                                                 << int(layout.depth) << " width " << width;
    }
  }
}

TEST(PngDecode, UnknownFilterTypeInAnyRowRefusesTheFile) {
  for (int interlace = 0; interlace <= 1; ++interlace) {
    PngBuilder valid;
    const Bytes scanlines = interlace ? testing::Adam7Scanlines(Bytes(9, 1), 3, 3, 1)
                                      : Scanlines({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    valid.Header(3, 3, 8, 0, uint8_t(interlace)).Data(scanlines).End();
    ASSERT_TRUE(Decode(valid.bytes()));
    const size_t rowBytes = 4;
    for (size_t row = 0; row * rowBytes < scanlines.size() && !interlace; ++row) {
      Bytes bad = scanlines;
      bad[row * rowBytes] = 5;
      PngBuilder png;
      png.Header(3, 3, 8, 0).Data(bad).End();
      EXPECT_FALSE(Decode(png.bytes())) << "row " << row;
    }
    if (interlace) {
      Bytes bad = scanlines;
      bad[bad.size() - 4] = 5;  // first byte of the last row of the last pass
      PngBuilder png;
      png.Header(3, 3, 8, 0, 1).Data(bad).End();
      EXPECT_FALSE(Decode(png.bytes()));
    }
  }
}

TEST(PngDecode, InflatedSizeMustBeExact) {
  const Bytes exact = Scanlines({{1, 2}, {3, 4}});
  for (int change : {-1, 0, 1}) {
    Bytes data = exact;
    if (change < 0) data.pop_back();
    if (change > 0) data.push_back(0);
    PngBuilder png;
    png.Header(2, 2, 8, 0).Data(data).End();
    EXPECT_EQ(Decode(png.bytes()).has_value(), change == 0) << "off by " << change;
  }
  // Far too much data also fails rather than overflowing the buffer.
  PngBuilder tooMuch;
  tooMuch.Header(2, 2, 8, 0).Data(Bytes(4096, 0)).End();
  EXPECT_FALSE(Decode(tooMuch.bytes()));
  PngBuilder notZlib;
  notZlib.Header(2, 2, 8, 0).Chunk("IDAT", exact).End();
  EXPECT_FALSE(Decode(notZlib.bytes()));
  PngBuilder noData;
  noData.Header(2, 2, 8, 0).Chunk("tEXt", Bytes(30, 'a')).End();
  EXPECT_FALSE(Decode(noData.bytes()));
}

// Data compressed close to deflate's best ratio must not trip the early size check.
TEST(PngDecode, HighlyCompressedImageDecodes) {
  const uint32_t side = 4096;
  Bytes rows(size_t{side} * (side + 1), 0);
  PngBuilder png;
  png.Header(side, side, 8, 0).Data(rows).End();
  ASSERT_LT(png.bytes().size() * 1000, rows.size());
  const std::optional<Image> image = Decode(png.bytes());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels.back(), 0xff000000u);
}

TEST(PngDecode, InterlacedImagesEqualPlainOnes) {
  std::mt19937 random(11);
  for (uint32_t width = 1; width <= 10; ++width) {
    for (uint32_t height = 1; height <= 10; ++height) {
      Bytes pixels(size_t{width} * height * 4);
      for (uint8_t& byte : pixels) byte = uint8_t(random());
      std::vector<Bytes> rows;
      for (uint32_t y = 0; y < height; ++y) {
        rows.emplace_back(pixels.begin() + y * width * 4, pixels.begin() + (y + 1) * width * 4);
      }
      PngBuilder plain, interlaced;
      plain.Header(width, height, 8, 6).Data(Scanlines(rows)).End();
      interlaced.Header(width, height, 8, 6, 1)
          .Data(testing::Adam7Scanlines(pixels, width, height, 4))
          .End();
      const std::optional<Image> a = Decode(plain.bytes());
      const std::optional<Image> b = Decode(interlaced.bytes());
      ASSERT_TRUE(a && b) << width << "x" << height;
      EXPECT_EQ(a->pixels, b->pixels) << width << "x" << height;
    }
  }
}

long PeakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(PngDecode, HugeDimensionsAreRefusedWithoutAllocating) {
  const long before = PeakResidentKilobytes();
  const struct {
    uint32_t width, height;
    uint8_t depth, colour, interlace;
  } cases[] = {
      {0x7fffffff, 0x7fffffff, 1, 0, 0}, {0x7fffffff, 0x7fffffff, 16, 6, 1},
      {70000, 70000, 8, 6, 0},           {0xffffffff, 1, 16, 6, 0},
      {1, 0xffffffff, 8, 0, 1},          {16384, 16385, 8, 0, 0},
      {16384, 16384, 16, 6, 0},  // allowed size, but 1000 bytes cannot inflate to 2 GiB
  };
  for (const auto& c : cases) {
    PngBuilder png;
    png.Header(c.width, c.height, c.depth, c.colour, c.interlace).Data(Bytes(1000, 0)).End();
    EXPECT_FALSE(Decode(png.bytes())) << c.width << "x" << c.height;
  }
  EXPECT_LT(PeakResidentKilobytes() - before, 64 * 1024);
}

TEST(PngDecodeFile, ReadsWholeFilesAndRefusesTheRest) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "png_decode_file";
  std::filesystem::create_directories(dir);
  const Bytes valid = PalettePicture().bytes();
  const auto write = [&](const char* name, size_t size) {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(valid.data()), std::streamsize(size));
    return (dir / name).string();
  };
  EXPECT_TRUE(DecodePng(write("whole.png", valid.size())));
  EXPECT_FALSE(DecodePng(write("empty.png", 0)));
  EXPECT_FALSE(DecodePng(write("cut.png", valid.size() - 1)));
  EXPECT_FALSE(DecodePng((dir / "missing.png").string()));
  EXPECT_FALSE(DecodePng(dir.string()));
  EXPECT_FALSE(DecodePng(""));
  // The size limit lets a file of exactly that many bytes through.
  EXPECT_EQ(ReadRegularFile(write("limit.png", 40), 40)->size(), 40u);
  EXPECT_FALSE(ReadRegularFile(write("over.png", 41), 40));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace fenwhit
