#include "support/program_harness.h"

#include "app/archive_writer.h"

namespace fenwhit::testing {

ProgramHarness::ProgramHarness(bool keepDrawCalls) : renderer(keepDrawCalls) {
  work.WriteFile("quellard.data",
                 BuildArchive(CollectAssetFolder(std::string(FENWHIT_SOURCE_DIR) + "/assets")));
  options.archivePath = (work.path() / "quellard.data").string();
  options.temporaryDirectory = temp.str();
  options.randomSeed = 12345;
  options.stopThreadsOnExit = true;
}

int ProgramHarness::Run(TestPlatform::Script script) {
  return Run(std::move(script), platform, renderer);
}

int ProgramHarness::Run(TestPlatform::Script script, Platform& outer, Renderer& drawing) {
  // A script that never reaches an exit would hang the test: close the window after
  // a generous number of frames, so it fails on its expectations instead.
  platform.SetScript([script = std::move(script)](TestPlatform& p, int pump) {
    if (script) script(p, pump);
    if (pump == kFrameLimit) p.RequestClose();
  });
  return RunProgram(outer, drawing, sound, options);
}

}  // namespace fenwhit::testing
