// fenwhit --check-replay as a player or CI runs it: one line per file, the status saying
// whether all came out as recorded, and a file that cannot be read refused with status 2,
// before anything is played or written.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/platform.h"
#include "replay/replay_file.h"
#include "support/child_process.h"
#include "support/recorded_game.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using testing::ReadText;
using testing::RecordShortGame;
using testing::ScratchDir;

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

struct Checked {
  int status;
  std::string out;
  std::string err;
};

Checked Check(const ScratchDir& work, std::vector<std::string> files) {
  ScratchDir temp;
  std::vector<std::string> paths;
  for (const std::string& file : files) paths.push_back(work.str() + "/" + file);
  std::vector<const char*> arguments = {"--check-replay"};
  for (const std::string& path : paths) arguments.push_back(path.c_str());
  const auto child = testing::StartProgram(FENWHIT_EXECUTABLE, work, temp, arguments);
  const int status = testing::WaitFor(child, std::chrono::seconds(120));
  Checked run{status, ReadText(child.stdoutFile), ReadText(child.stderrFile)};
  // Refused files are refused before the game unpacks anything.
  if (status == 2) {
    EXPECT_TRUE(temp.Files().empty());
  }
  return run;
}

TEST(ReplayCheckBinary, SaysOfEachFileWhetherItMatchesAndRefusesWhatItCannotRead) {
  const Replay game = RecordShortGame();
  ASSERT_FALSE(game.frames.empty());
  ScratchDir work;
  const std::string good = EncodeReplay(game);
  work.WriteFile("good.fwreplay", Bytes(good));
  // Esc held for a frame that was not: the ending starts early.
  Replay moved = game;
  moved.frames[100].keys[0] |= uint64_t{1} << scan::kEsc;
  work.WriteFile("moved.fwreplay", Bytes(EncodeReplay(moved)));
  Replay older = game;
  older.gameVersion = "0.0.1";
  work.WriteFile("older.fwreplay", Bytes(EncodeReplay(older)));
  work.WriteFile("cut.fwreplay", Bytes(good.substr(0, good.size() / 2)));
  work.WriteFile("text.fwreplay", Bytes("fenwhit scores 1\n"));
  work.WriteFile("empty.fwreplay", {});
  std::filesystem::create_directory(work.path() / "folder.fwreplay");

  const Checked matches = Check(work, {"good.fwreplay"});
  EXPECT_EQ(matches.status, 0) << matches.err;
  EXPECT_EQ(matches.out.find(work.str() + "/good.fwreplay: matches, score " +
                             std::to_string(game.finalScore) + ", " +
                             std::to_string(game.frames.size()) + " frames, "),
            0u)
      << matches.out;

  const Checked differs = Check(work, {"good.fwreplay", "moved.fwreplay"});
  EXPECT_EQ(differs.status, 1);
  EXPECT_EQ(std::count(differs.out.begin(), differs.out.end(), '\n'), 2) << differs.out;
  EXPECT_NE(differs.out.find("moved.fwreplay: differs from frame 120: "), std::string::npos)
      << differs.out;

  for (const char* bad : {"older.fwreplay", "cut.fwreplay", "text.fwreplay", "empty.fwreplay",
                          "folder.fwreplay", "missing.fwreplay"}) {
    const Checked refused = Check(work, {"good.fwreplay", bad});
    EXPECT_EQ(refused.status, 2) << bad;
    EXPECT_EQ(refused.out, "") << bad;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_NE(refused.err.find(std::string(bad) + ": cannot be checked: "), std::string::npos)
        << refused.err;
  }
}

}  // namespace
}  // namespace fenwhit
