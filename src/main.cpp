// Fenwhit: the program's entry. Arguments are ignored.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/program.h"
#include "audio/sound_output.h"
#include "gfx/gl_renderer.h"
#include "platform/sdl_platform.h"

int main() {
  fenwhit::SdlPlatform platform("Fenwhit");
  fenwhit::GlRenderer renderer(platform);
  std::unique_ptr<fenwhit::SoundDevice> sound = fenwhit::OpenSoundOutput();
  const int status = fenwhit::RunProgram(platform, renderer, *sound, fenwhit::ProgramOptions{});
  // End at once, whatever background thread still runs.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
