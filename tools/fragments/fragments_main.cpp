// Plays recorded games through the game's batched renderer and prints, per layer of the
// picture (backdrop, masks, glows, particles, titles...), how many pixels a frame covers
// and blends: the drawing's work, counted rather than timed.
//   fenwhit_fragments [--frames FILE] REPLAY...   (beside quellard.data; any SDL video driver)
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/program.h"
#include "audio/silent_sound_device.h"
#include "gfx/batch_renderer.h"
#include "platform/sdl_platform.h"
#include "replay/replay_check.h"
#include "replay/replay_player.h"
#include "replay/timedemo_platform.h"

using namespace fenwhit;

namespace {

// One line a frame: its number and each layer's covered pixels, in the table's order.
void WriteFrames(const FragmentTally& tally, const std::string& path) {
  std::ofstream out(path);
  int number = 0;
  for (const FramePixels& frame : tally.Frames()) {
    out << ++number;
    for (const LayerPixels& layer : frame) out << ' ' << static_cast<long long>(layer.covered);
    out << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  std::string framesPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--frames" && i + 1 < argc) {
      framesPath = argv[++i];
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: fenwhit_fragments [--frames FILE] REPLAY...\n");
    return 2;
  }
  SdlPlatform sdl("Fenwhit fragments", "fenwhit-fragments");
  if (!sdl.StartVideo()) {
    std::fprintf(stderr, "fenwhit_fragments: %s\n", sdl.LastError().c_str());
    return 1;
  }
  FragmentTally tally;
  for (const std::string& file : files) {
    std::string why;
    const std::optional<Replay> replay = ReadPlayableReplay(file, why);
    if (!replay) {
      std::fprintf(stderr, "fenwhit_fragments: %s: %s\n", file.c_str(), why.c_str());
      return 2;
    }
    TimedemoPlatform timedemo(sdl);
    ReplayPlayer player(timedemo, ReplayPlayer::Mode::kWatch);
    BatchRenderer drawing(timedemo);
    drawing.SetTally(&tally);
    SilentSoundDevice silence;
    ProgramOptions options;
    ReplayOutcome outcome;
    if (PlayRecordedGame(player, drawing, silence, options, *replay, outcome) != 0) return 1;
  }
  std::cout << tally.Frames().size() << " frames\n" << tally.Table();
  if (!framesPath.empty()) WriteFrames(tally, framesPath);
  return 0;
}
