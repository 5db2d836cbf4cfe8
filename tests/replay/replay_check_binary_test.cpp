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
#include "support/replay_bytes.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using testing::ReadText;
using testing::RecordShortGame;
using testing::ScratchDir;

// The address space the program may take to refuse replay files, in kibibytes: four times
// what it needs (about 30 MiB), and less than six million frames take (192 MB).
constexpr long kRefusingAddressSpace = 120 * 1024;
// The same to check games: three times what a short game takes (about 60 MiB).
constexpr long kCheckingAddressSpace = 200 * 1024;

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// `count` files of the same bytes, named `stem`0.fwreplay, `stem`1.fwreplay ...
std::vector<std::string> WriteCopies(const ScratchDir& work, const std::string& stem,
                                     const std::string& bytes, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    names.push_back(stem + std::to_string(i) + ".fwreplay");
    work.WriteFile(names.back(), Bytes(bytes));
  }
  return names;
}

struct Checked {
  int status;
  std::string out;
  std::string err;
};

// memoryLimit: the address space the program may take, in kibibytes (0 for any).
Checked Check(const ScratchDir& work, std::vector<std::string> files, long memoryLimit = 0) {
  ScratchDir temp;
  std::vector<std::string> paths;
  for (const std::string& file : files) paths.push_back(work.str() + "/" + file);
  const std::string limit = "ulimit -v " + std::to_string(memoryLimit) + " && exec \"$0\" \"$@\"";
  std::vector<const char*> arguments = {"--check-replay"};
  if (memoryLimit > 0) arguments = {"-c", limit.c_str(), FENWHIT_EXECUTABLE, "--check-replay"};
  for (const std::string& path : paths) arguments.push_back(path.c_str());
  const auto child = testing::StartProgram(memoryLimit > 0 ? "/bin/sh" : FENWHIT_EXECUTABLE, work,
                                           temp, arguments);
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
  Replay elsewhere = moved;
  elsewhere.architecture = "pdp11";
  work.WriteFile("elsewhere.fwreplay", Bytes(EncodeReplay(elsewhere)));
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

  const Checked differs = Check(work, {"good.fwreplay", "moved.fwreplay", "elsewhere.fwreplay"});
  EXPECT_EQ(differs.status, 1);
  EXPECT_EQ(std::count(differs.out.begin(), differs.out.end(), '\n'), 3) << differs.out;
  EXPECT_NE(differs.out.find("moved.fwreplay: differs from frame 120: "), std::string::npos)
      << differs.out;
  // Only a game recorded on another kind of machine names it.
  EXPECT_EQ(differs.out.find("recorded on " + game.architecture), std::string::npos) << differs.out;
  EXPECT_NE(differs.out.find("elsewhere.fwreplay: differs from frame 120: "), std::string::npos)
      << differs.out;
  EXPECT_NE(differs.out.find(" (recorded on pdp11, this is " + game.architecture + ")\n"),
            std::string::npos)
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

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // Twenty files of a few kilobytes, each claiming six million frames (192 MB of them), are
  // refused within a quarter of that: the frames are not made room for on the header's word.
  const std::string claim = testing::ReplayClaimingMostFrames(game.gameVersion);
  ASSERT_LT(claim.size(), 8000u);
  const Checked claimed = Check(work, WriteCopies(work, "claim", claim, 20), kRefusingAddressSpace);
  EXPECT_EQ(claimed.status, 2) << claimed.err;
  EXPECT_EQ(std::count(claimed.err.begin(), claimed.err.end(), '\n'), 20) << claimed.err;
  EXPECT_NE(claimed.err.find("claim19.fwreplay: cannot be checked: damaged (frames)\n"),
            std::string::npos)
      << claimed.err;

  // A dozen games of 800 000 frames (25.6 MB each as frames) that differ: checked one at a
  // time, within a space that could not hold them all.
  Replay longer = game;
  longer.frames.resize(800'000, game.frames.back());
  longer.checksums.resize(longer.frames.size() / kReplayChecksumEvery + 1);
  const Checked checked =
      Check(work, WriteCopies(work, "long", EncodeReplay(longer), 12), kCheckingAddressSpace);
  EXPECT_EQ(checked.status, 1) << checked.err;
  EXPECT_EQ(std::count(checked.out.begin(), checked.out.end(), '\n'), 12) << checked.out;
#endif
}

}  // namespace
}  // namespace fenwhit
