#pragma once
// Runs the whole program against the scripted platform, the recording renderer and
// the recording sound device, with an archive packed from the project's assets.
#include <functional>

#include "app/program.h"
#include "audio/recording_sound_device.h"
#include "gfx/recording_renderer.h"
#include "platform/test_platform.h"
#include "support/scratch_dir.h"

namespace fenwhit::testing {

class ProgramHarness {
 public:
  // keepDrawCalls: the renderer stores draw calls (clear them every frame in long runs).
  explicit ProgramHarness(bool keepDrawCalls = false);
  // Runs the program to its end and returns its exit status.
  int Run(TestPlatform::Script script);
  // The same, the program seeing the scripted platform through outer and drawing through
  // drawing (wrappers around platform and renderer).
  int Run(TestPlatform::Script script, Platform& outer, Renderer& drawing);

  static constexpr int kFrameLimit = 20000;

  TestPlatform platform;
  RecordingRenderer renderer;
  RecordingSoundDevice sound;
  ScratchDir work;
  ScratchDir temp;
  ProgramOptions options;
};

}  // namespace fenwhit::testing
