// Unpacking the real asset archive over an earlier unpacking, as every start after the first
// does: each file written beside its place and renamed in.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/archive.h"

namespace {

namespace fs = std::filesystem;

void BM_UnpackOverEarlierFiles(benchmark::State& state) {
  const std::string archive = std::string(FENWHIT_BINARY_DIR) + "/quellard.data";
  std::string root = (fs::temp_directory_path() / "fenwhit-unpack-bench-XXXXXX").string();
  if (mkdtemp(root.data()) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  fs::create_directories(fs::path(root) / "data" / "balls");
  if (fenwhit::UnpackArchive(archive, root) != fenwhit::UnpackResult::kOk) {
    state.SkipWithError("the archive is not built");
    fs::remove_all(root);
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(fenwhit::UnpackArchive(archive, root));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(fs::file_size(archive)));
  fs::remove_all(root);
}
BENCHMARK(BM_UnpackOverEarlierFiles)->Unit(benchmark::kMillisecond);

}  // namespace
