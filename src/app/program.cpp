#include "app/program.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/archive.h"
#include "app/display.h"
#include "app/output_root.h"
#include "app/paths.h"
#include "app/pictures.h"
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/sound_device.h"
#include "game/frame_loop.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/random.h"
#include "gfx/draw.h"
#include "gfx/renderer.h"
#include "platform/exit.h"
#include "platform/platform.h"
#include "ui/intro.h"
#include "ui/main_menu.h"

namespace fenwhit {

namespace {

int FatalStartupFailure(const std::string& what) {
  std::fprintf(stderr, "fenwhit: cannot start: %s\n", what.c_str());
  return 1;
}

// The first of the archive's places that holds anything: a damaged archive there is
// reported, not passed over. Empty when every place is empty.
std::string FindArchive(const std::vector<std::string>& places) {
  for (const std::string& place : places) {
    std::error_code error;
    if (std::filesystem::exists(place, error)) return place;
  }
  return {};
}

std::string DescribeMissingArchive(const ProgramOptions& options,
                                   const std::vector<std::string>& places) {
  std::string text = "the asset archive " +
                     std::filesystem::path(options.archivePath).filename().string() +
                     " is missing; looked for";
  for (size_t i = 0; i < places.size(); ++i) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(places[i], error);
    text += (i == 0 ? " " : ", ") + (error ? places[i] : absolute.string());
  }
  return text;
}

// Start-up in its fixed order. Returns 0 to go on, or the exit status of a failure.
int StartUp(const ProgramOptions& options) {
  TheSoundDevice().Start(44100, 128);
  SelectStartMode(options.screenMode);
  const std::string temporary =
      options.temporaryDirectory.empty() ? TemporaryDirectory() : options.temporaryDirectory;
  std::string error;
  const std::string root = PrepareOutputRoot(temporary, error);
  if (root.empty()) return FatalStartupFailure(error);
  const std::vector<std::string> places =
      ArchivePlaces(options.archivePath, options.executableDirectory);
  const std::string archive = FindArchive(places);
  if (archive.empty()) return FatalStartupFailure(DescribeMissingArchive(options, places));
  UnpackFailure failure;
  const UnpackResult unpacked = UnpackArchive(archive, root, &failure);
  if (unpacked == UnpackResult::kWriteFailed) {
    return FatalStartupFailure("cannot write the assets into " + failure.folder + ": " +
                               std::strerror(failure.error));
  }
  if (unpacked != UnpackResult::kOk) {
    return FatalStartupFailure("the asset archive " + archive + " is " +
                               DescribeUnpackResult(unpacked));
  }
  SetDataDirectory(root + "/data/");
  const std::string& data = DataDirectory();

  OpenTitleMusic(data + "rallointro.ogg");
  LoadSample(sound::kSelect, data + "select.ogg");
  StartTitleMusic();

  if (!OpenScreen(screenMode.width, screenMode.height, 32)) {
    return FatalStartupFailure("no window with an OpenGL context could be opened");
  }
  PresentFrame();
  ClearFrame();
  LoadMenuPicture(data);
  if (options.randomSeed != 0) {
    seedRandom(options.randomSeed);
  } else {
    seedRandomFromClock();
  }
  musicVolume.store(255, std::memory_order_relaxed);
  LoadOtherPictures(data);
  TheRenderer().WarmUp(EveryTexture(pictures));
  setUpGameAtStartUp();
  StartSoundLoader(data);
  return 0;
}

void StopThreads() {
  if (BeatThreadRunning()) RequestBeatStop();
  JoinSoundLoader();
}

}  // namespace

int RunProgram(Platform& platform, Renderer& renderer, SoundDevice& sound,
               const ProgramOptions& options) {
  SetPlatform(&platform);
  SetRenderer(&renderer);
  SetSoundDevice(&sound);
  int status = 0;
  try {
    status = StartUp(options);
    if (status == 0 && options.nextGame) {
      for (int kind = options.nextGame(); kind == 0 || kind == 1; kind = options.nextGame()) {
        resetGameState();
        startGame(kind);
        runFrameLoop();
      }
    } else if (status == 0) {
      RunIntro();
      for (;;) {
        resetGameState();
        EnterMainMenu();
        RunMainMenu();
        runFrameLoop();
      }
    }
  } catch (const ProgramExit& exit) {
    status = exit.status;
  }
  if (options.stopThreadsOnExit) StopThreads();
  return status;
}

}  // namespace fenwhit
