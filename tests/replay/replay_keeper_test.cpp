// A finished game is kept by the writer thread: the frame that ends it writes nothing, the
// file lands once the disk answers, and a folder that cannot be written is reported once.
#include "replay/replay_keeper.h"

#include <gtest/gtest.h>

#include <sstream>

#include "keep/background_writer.h"
#include "support/scratch_dir.h"
#include "support/writer_gate.h"

namespace fenwhit {
namespace {

using testing::ScratchDir;
using testing::WriterGate;

Replay Game(int64_t startTime, int64_t score) {
  Replay replay;
  replay.gameVersion = "0.9.0";
  replay.startTime = startTime;
  replay.player = "ANN";
  replay.finalScore = score;
  replay.frames.resize(3000);
  replay.checksums.assign(3000 / kReplayChecksumEvery + 1, 7);
  return replay;
}

TEST(ReplayKeeper, WritesOnTheWriterThreadAndWarnsOnce) {
  ScratchDir home;
  const std::string folder = home.str() + "/replays";
  ReplayStore store(folder);
  ScoreFile scores("");
  std::ostringstream err;
  BackgroundWriter writer;
  ReplayKeeper keeper(store, scores, writer, err);
  const Replay game = Game(1'700'000'000, 1234);

  WriterGate stuckDisk(writer);
  stuckDisk.AwaitReached();
  keeper.Keep(Replay(game));
  EXPECT_TRUE(store.List().empty()) << "written on the frame thread";
  stuckDisk.Open();
  writer.Drain();
  const std::vector<std::string> kept = store.List();
  ASSERT_EQ(kept.size(), 1u) << err.str();
  std::string why;
  const std::optional<Replay> readBack = ReadReplayFile(kept[0], why);
  ASSERT_TRUE(readBack) << why;
  EXPECT_EQ(readBack->finalScore, 1234);
  EXPECT_EQ(readBack->frames.size(), 3000u);
  EXPECT_EQ(err.str(), "");

  // A file where the folder should be: every game fails, one line says so.
  ScratchDir other;
  other.WriteFile("replays", {1});
  ReplayStore blocked(other.str() + "/replays");
  ReplayKeeper failing(blocked, scores, writer, err);
  failing.Keep(Game(1'700'000'100, 5));
  failing.Keep(Game(1'700'000'200, 6));
  writer.Drain();
  const std::string warning = err.str();
  EXPECT_EQ(warning.rfind("fenwhit: replays are not kept: ", 0), 0u) << warning;
  EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
}

}  // namespace
}  // namespace fenwhit
