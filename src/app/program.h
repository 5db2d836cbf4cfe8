#pragma once
// The whole program: start-up in its fixed order, the intro, then the main menu and
// games until an exit path ends it.
#include <functional>
#include <string>

namespace fenwhit {

class Platform;
class Renderer;
class SoundDevice;

struct ProgramOptions {
  std::string archivePath = "quellard.data";
  // When set, an archive missing at archivePath is looked for beside the executable and
  // then in ../share/fenwhit/ from there.
  std::string executableDirectory;
  // Empty: $TMPDIR or /tmp.
  std::string temporaryDirectory;
  // The screen mode the window opens in (the player's remembered one).
  int screenMode = 0;
  // Tests use a fixed seed; 0 seeds from the clock.
  unsigned long long randomSeed = 0;
  // In tests the program returns instead of ending the process: wait for the beat
  // thread and the sound loader so nothing outlives the run.
  bool stopThreadsOnExit = false;
  // When set, there is no intro and no menu: the program plays the games this names one
  // after the other (0 one paddle, 1 two paddles; anything else ends), then returns 0.
  // Replays play this way; it is called again after each game has ended.
  std::function<int()> nextGame;
};

// Returns the exit status: 0 for every normal exit, 1 for a fatal start-up failure
// (after one line on stderr).
int RunProgram(Platform& platform, Renderer& renderer, SoundDevice& sound,
               const ProgramOptions& options);

}  // namespace fenwhit
