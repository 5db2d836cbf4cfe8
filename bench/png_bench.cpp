// Our PNG decoder against libpng on the same bytes in memory, both giving 8-bit RGBA, over the
// game's pictures and the PngSuite. BM_PngOursOverLibpng reports the time ratio directly.
#include <benchmark/benchmark.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/png.h"

#if __has_include(<png.h>)
// The tests' reference decoder, asked for the same 8-bit RGBA as ours.
#include "image/libpng_oracle.h"
#define FENWHIT_BENCH_HAS_LIBPNG 1
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

enum CorpusId { kAssets = 0, kPngSuite = 1 };

std::vector<Bytes> LoadPngs(const fs::path& dir, bool skipBroken) {
  std::vector<fs::path> paths;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    const fs::path& path = entry.path();
    if (path.extension() != ".png") continue;
    if (skipBroken && path.filename().string()[0] == 'x') continue;  // broken on purpose
    paths.push_back(path);
  }
  std::vector<Bytes> files;
  for (const fs::path& path : paths) {
    std::ifstream in(path, std::ios::binary);
    files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

const std::vector<Bytes>& Corpus(int id) {
  static const std::vector<Bytes> assets = LoadPngs(fs::path(FENWHIT_SOURCE_DIR) / "assets", false);
  static const std::vector<Bytes> suite =
      LoadPngs(fs::path(FENWHIT_SOURCE_DIR) / ".." / "shared" / "testdata" / "pngsuite", true);
  return id == kAssets ? assets : suite;
}

size_t TotalBytes(const std::vector<Bytes>& files) {
  size_t total = 0;
  for (const Bytes& file : files) total += file.size();
  return total;
}

void DecodeAllOurs(const std::vector<Bytes>& files) {
  for (const Bytes& file : files) {
    std::optional<fenwhit::Image> image = fenwhit::DecodePngBuffer(file.data(), file.size());
    benchmark::DoNotOptimize(image);
  }
}

#ifdef FENWHIT_BENCH_HAS_LIBPNG
void DecodeAllLibpng(const std::vector<Bytes>& files) {
  Bytes rgba;
  for (const Bytes& file : files) {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    benchmark::DoNotOptimize(fenwhit::testing::oracle_detail::DecodeRgba(file.data(), file.size(),
                                                                         &width, &height, &rgba));
    benchmark::DoNotOptimize(rgba.data());
  }
}
#endif

bool SkipIfEmpty(benchmark::State& state, const std::vector<Bytes>& files) {
  if (!files.empty()) return false;
  state.SkipWithError(state.range(0) == kAssets ? "no assets/*.png yet" : "PngSuite not found");
  return true;
}

void BM_PngOurs(benchmark::State& state) {
  const std::vector<Bytes>& files = Corpus(int(state.range(0)));
  if (SkipIfEmpty(state, files)) return;
  for (auto _ : state) DecodeAllOurs(files);
  state.SetBytesProcessed(int64_t(state.iterations() * TotalBytes(files)));
}
BENCHMARK(BM_PngOurs)->ArgName("assets0_suite1")->Arg(kAssets)->Arg(kPngSuite);

#ifdef FENWHIT_BENCH_HAS_LIBPNG
void BM_PngLibpng(benchmark::State& state) {
  const std::vector<Bytes>& files = Corpus(int(state.range(0)));
  if (SkipIfEmpty(state, files)) return;
  for (auto _ : state) DecodeAllLibpng(files);
  state.SetBytesProcessed(int64_t(state.iterations() * TotalBytes(files)));
}
BENCHMARK(BM_PngLibpng)->ArgName("assets0_suite1")->Arg(kAssets)->Arg(kPngSuite);

// CPU time of this thread, so that other work on a shared machine does not skew the ratio.
double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Both decoders in turn each iteration, so the ratio comes from one run on one machine state.
void BM_PngOursOverLibpng(benchmark::State& state) {
  const std::vector<Bytes>& files = Corpus(int(state.range(0)));
  if (SkipIfEmpty(state, files)) return;
  double ours = 0;
  double libpng = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    DecodeAllOurs(files);
    const double middle = ThreadCpuSeconds();
    DecodeAllLibpng(files);
    ours += middle - start;
    libpng += ThreadCpuSeconds() - middle;
  }
  state.counters["ours_over_libpng"] = ours / libpng;
}
BENCHMARK(BM_PngOursOverLibpng)->ArgName("assets0_suite1")->Arg(kAssets)->Arg(kPngSuite);
#endif

}  // namespace
