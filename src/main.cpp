// Fenwhit: the program's entry. The command line is read before anything else starts.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/paths.h"
#include "app/program.h"
#include "audio/sound_output.h"
#include "autoplay/autopilot_platform.h"
#include "gamepad/gamepad_platform.h"
#include "gfx/batch_renderer.h"
#include "platform/sdl_platform.h"

int main(int argc, char** argv) {
  const fenwhit::CommandLine commandLine = fenwhit::ParseCommandLine(argc, argv);
  if (commandLine.action != fenwhit::CommandLine::Action::kPlay) {
    return fenwhit::AnswerCommandLine(commandLine, std::cout, std::cerr);
  }
  // Large buffers (the software renderer's, the decoders') come and go with the busiest
  // scenes; with a fixed threshold they are mapped and given back, instead of the heap
  // keeping its high-water mark for the rest of the run.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  fenwhit::SdlPlatform sdl("Fenwhit", FENWHIT_APP_ID);
  sdl.SetFullscreen(commandLine.fullscreen);
  fenwhit::GamepadPlatform gamepads(sdl);
  std::optional<fenwhit::AutopilotPlatform> autopilot;
  fenwhit::Platform* platform = &gamepads;
  if (commandLine.autoplay) platform = &autopilot.emplace(gamepads);
  fenwhit::BatchRenderer renderer(*platform);
  std::unique_ptr<fenwhit::SoundDevice> sound = fenwhit::OpenSoundOutput();
  fenwhit::ProgramOptions options;
  options.executableDirectory = fenwhit::ExecutableDirectory();
  const int status = fenwhit::RunProgram(*platform, renderer, *sound, options);
  // End at once, whatever background thread still runs.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
