// Fenwhit: the program's entry. The command line is read before anything else starts.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/display.h"
#include "app/paths.h"
#include "app/program.h"
#include "audio/sound_output.h"
#include "autoplay/autopilot_platform.h"
#include "gamepad/gamepad_platform.h"
#include "gfx/batch_renderer.h"
#include "gfx/overlay_renderer.h"
#include "keep/player_name.h"
#include "keep/score_file.h"
#include "keep/settings.h"
#include "keep/xdg_folders.h"
#include "pause/pause_platform.h"
#include "pause/pause_screen.h"
#include "platform/sdl_platform.h"
#include "scoreboard/score_drawing.h"
#include "scoreboard/scoreboard_platform.h"
#include "settings/settings_platform.h"
#include "settings/volume_bar.h"

namespace {

int PrintScores() {
  fenwhit::ScoreFile scores(fenwhit::ScoresPath());
  scores.Load(std::cerr);
  std::cout << fenwhit::ScoresAsTsv(scores.Tables());
  std::cout.flush();
  return std::cout ? 0 : 1;
}

bool StartsFullscreen(const fenwhit::CommandLine& commandLine, const fenwhit::Settings& settings) {
  switch (commandLine.screen) {
    case fenwhit::CommandLine::Screen::kFullscreen:
      return true;
    case fenwhit::CommandLine::Screen::kWindow:
      return false;
    case fenwhit::CommandLine::Screen::kRemembered:
      break;
  }
  return settings.fullscreen;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace fenwhit;
  const CommandLine commandLine = ParseCommandLine(argc, argv);
  if (commandLine.action == CommandLine::Action::kScores) return PrintScores();
  if (commandLine.action != CommandLine::Action::kPlay) {
    return AnswerCommandLine(commandLine, std::cout, std::cerr);
  }
  // Large buffers (the software renderer's, the decoders') come and go with the busiest
  // scenes; with a fixed threshold they are mapped and given back, instead of the heap
  // keeping its high-water mark for the rest of the run.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);

  // What the player keeps is read before the window opens, so it opens as they left it.
  SettingsFile settingsFile(SettingsPath());
  const Settings settings = settingsFile.Load(std::cerr);
  ScoreFile scores(ScoresPath());
  scores.Load(std::cerr);

  SdlPlatform sdl("Fenwhit", FENWHIT_APP_ID);
  // Without a display the game would run unseen: say so before anything is unpacked.
  if (!sdl.StartVideo()) {
    std::fprintf(stderr, "fenwhit: cannot start: %s\n", sdl.LastError().c_str());
    return 1;
  }
  sdl.SetFullscreen(StartsFullscreen(commandLine, settings));
  std::unique_ptr<SoundDevice> sound = OpenSoundOutput();
  BatchRenderer batch(sdl);
  OverlayRenderer renderer(batch);

  // The platform the game sees, from the machine outwards: gamepads as keys, the player's
  // settings, the pause, the best scores and, when asked for, the autopilot.
  GamepadPlatform gamepads(sdl);
  SettingsPlatform settingsPlatform(
      gamepads, *sound, settingsFile, settings,
      {[] { return static_cast<int>(screenMode.index); }, [&sdl] { return sdl.Fullscreen(); }},
      std::cerr);
  auto drawVolumeBar = [&] { DrawVolumeBar(settingsPlatform, sdl.Clock()); };
  PauseScreen pauseScreen(renderer, drawVolumeBar);
  PausePlatform pause(
      settingsPlatform, *sound, [&pauseScreen] { pauseScreen.Show(); }, !commandLine.autoplay);
  ScoreboardPlatform scoreboard(pause, scores, PlayerName(), !commandLine.autoplay, std::cerr);
  std::optional<AutopilotPlatform> autopilot;
  Platform* platform = &scoreboard;
  if (commandLine.autoplay) platform = &autopilot.emplace(scoreboard);
  renderer.AddOverlay([&] { DrawMenuScores(scoreboard, pause.Clock()); });
  renderer.AddOverlay(drawVolumeBar);

  ProgramOptions options;
  options.executableDirectory = ExecutableDirectory();
  options.screenMode = settings.screenMode;
  const int status = RunProgram(*platform, renderer, *sound, options);
  // End at once, whatever background thread still runs.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
