// Our PNG decoder against libpng and libspng on the same bytes in memory, all three giving 8-bit
// RGBA with tRNS applied and no gamma, over the game's pictures, the PngSuite and, when
// FENWHIT_PNG_CORPUS names a folder (searched recursively) or a file listing one path a line,
// that corpus too. BM_PngRatios decodes every file with each decoder in turn in one run and
// reports our time over each reference's; files any decoder refuses are counted and skipped.
#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdlib>
#include <cstring>
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
#if defined(FENWHIT_BENCH_LIBSPNG) && defined(FENWHIT_BENCH_HAS_LIBPNG)
#include <spng.h>
#define FENWHIT_BENCH_HAS_LIBSPNG 1
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

enum CorpusId { kAssets = 0, kPngSuite = 1, kFromEnvironment = 2 };

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<Bytes> LoadPngs(const fs::path& dir, bool skipBroken) {
  std::vector<Bytes> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    const fs::path& path = entry.path();
    if (path.extension() != ".png") continue;
    if (skipBroken && path.filename().string()[0] == 'x') continue;  // broken on purpose
    files.push_back(ReadBytes(path));
  }
  return files;
}

// Every regular *.png below a folder, or every path listed in a file.
std::vector<Bytes> LoadNamedCorpus(const fs::path& where) {
  std::vector<Bytes> files;
  std::error_code error;
  if (fs::is_directory(where, error)) {
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(where, options, error), end; it != end;
         it.increment(error)) {
      if (error) break;
      if (it->path().extension() == ".png" && it->is_regular_file(error)) {
        files.push_back(ReadBytes(it->path()));
      }
    }
    return files;
  }
  std::ifstream list(where);
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && fs::is_regular_file(line, error)) files.push_back(ReadBytes(line));
  }
  return files;
}

fs::path PngSuiteDir() {
  const char* dir = std::getenv("FENWHIT_PNGSUITE");
  if (dir != nullptr && *dir != '\0') return dir;
  return fs::path(FENWHIT_SOURCE_DIR) / ".." / "shared" / "testdata" / "pngsuite";
}

std::vector<Bytes> LoadCorpus(int id) {
  if (id == kAssets) return LoadPngs(fs::path(FENWHIT_SOURCE_DIR) / "assets", false);
  if (id == kPngSuite) return LoadPngs(PngSuiteDir(), true);
  const char* named = std::getenv("FENWHIT_PNG_CORPUS");
  if (named == nullptr || *named == '\0') return {};
  return LoadNamedCorpus(named);
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
bool DecodeLibpng(const Bytes& file, Bytes& rgba) {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  return fenwhit::testing::oracle_detail::DecodeRgba(file.data(), file.size(), &width, &height,
                                                     &rgba);
}

void DecodeAllLibpng(const std::vector<Bytes>& files) {
  Bytes rgba;
  for (const Bytes& file : files) {
    benchmark::DoNotOptimize(DecodeLibpng(file, rgba));
    benchmark::DoNotOptimize(rgba.data());
  }
}
#endif

#ifdef FENWHIT_BENCH_HAS_LIBSPNG
// Same work as the others: 8-bit RGBA, tRNS applied, no gamma, every CRC and checksum checked.
bool DecodeLibspng(const Bytes& file, Bytes& rgba) {
  spng_ctx* context = spng_ctx_new(0);
  if (context == nullptr) return false;
  size_t size = 0;
  bool ok = spng_set_png_buffer(context, file.data(), file.size()) == 0 &&
            spng_decoded_image_size(context, SPNG_FMT_RGBA8, &size) == 0;
  if (ok) {
    rgba.resize(size);
    ok = spng_decode_image(context, rgba.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) == 0;
  }
  spng_ctx_free(context);
  return ok;
}

void DecodeAllLibspng(const std::vector<Bytes>& files) {
  Bytes rgba;
  for (const Bytes& file : files) {
    benchmark::DoNotOptimize(DecodeLibspng(file, rgba));
    benchmark::DoNotOptimize(rgba.data());
  }
}
#endif

bool SkipIfEmpty(benchmark::State& state, const std::vector<Bytes>& files) {
  if (!files.empty()) return false;
  static const char* const kWhy[] = {"no assets/*.png yet", "PngSuite not found",
                                     "FENWHIT_PNG_CORPUS unset or without PNG files"};
  state.SkipWithError(kWhy[state.range(0)]);
  return true;
}

const std::vector<Bytes>& Corpus(int id) {
  static const std::vector<Bytes> corpora[] = {LoadCorpus(kAssets), LoadCorpus(kPngSuite)};
  return corpora[id];
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

#ifdef FENWHIT_BENCH_HAS_LIBSPNG
struct CheckedCorpus {
  std::vector<Bytes> files;  // those all three decoders accept
  size_t refused = 0;        // by at least one of them
  size_t differing = 0;      // accepted by all, but with other pixels than libpng's or libspng's
};

// Decodes every file once with each decoder, keeps the ones all accept and checks that the three
// give the same pixels, so the timed work is the same.
CheckedCorpus CheckCorpus(std::vector<Bytes> candidates) {
  CheckedCorpus corpus;
  Bytes viaLibpng;
  Bytes viaLibspng;
  for (Bytes& file : candidates) {
    const std::optional<fenwhit::Image> ours = fenwhit::DecodePngBuffer(file.data(), file.size());
    if (!ours || !DecodeLibpng(file, viaLibpng) || !DecodeLibspng(file, viaLibspng)) {
      ++corpus.refused;
      continue;
    }
    Bytes oursRgba(ours->pixels.size() * 4);
    for (size_t i = 0; i < ours->pixels.size(); ++i) {
      const uint32_t argb = ours->pixels[i];
      const uint8_t rgba[4] = {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb),
                               uint8_t(argb >> 24)};
      std::memcpy(oursRgba.data() + 4 * i, rgba, 4);
    }
    if (oursRgba != viaLibpng || oursRgba != viaLibspng) ++corpus.differing;
    corpus.files.push_back(std::move(file));
  }
  return corpus;
}

const CheckedCorpus& Checked(int id) {
  switch (id) {
    case kAssets: {
      static const CheckedCorpus assets = CheckCorpus(LoadCorpus(kAssets));
      return assets;
    }
    case kPngSuite: {
      static const CheckedCorpus suite = CheckCorpus(LoadCorpus(kPngSuite));
      return suite;
    }
    default: {
      static const CheckedCorpus named = CheckCorpus(LoadCorpus(kFromEnvironment));
      return named;
    }
  }
}

// The three decoders in turn each iteration. files: decoded per iteration; refused: skipped.
void BM_PngRatios(benchmark::State& state) {
  const CheckedCorpus& corpus = Checked(int(state.range(0)));
  if (SkipIfEmpty(state, corpus.files)) return;
  double ours = 0;
  double libpng = 0;
  double libspng = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    DecodeAllOurs(corpus.files);
    const double afterOurs = ThreadCpuSeconds();
    DecodeAllLibpng(corpus.files);
    const double afterLibpng = ThreadCpuSeconds();
    DecodeAllLibspng(corpus.files);
    ours += afterOurs - start;
    libpng += afterLibpng - afterOurs;
    libspng += ThreadCpuSeconds() - afterLibpng;
  }
  state.counters["ours_over_libpng"] = ours / libpng;
  state.counters["ours_over_libspng"] = ours / libspng;
  state.counters["files"] = double(corpus.files.size());
  state.counters["refused"] = double(corpus.refused);
  state.counters["differing"] = double(corpus.differing);
}
BENCHMARK(BM_PngRatios)
    ->ArgName("assets0_suite1_env2")
    ->Arg(kAssets)
    ->Arg(kPngSuite)
    ->Arg(kFromEnvironment)
    ->Unit(benchmark::kMillisecond);
#endif

}  // namespace
