// The player's music through the real program in a real window on an X desktop: a song
// given with --music is listened to once, a game started from the menu plays to it (its
// replay names the song and took its beats), and the next start finds the beats kept.
// Skipped without xdotool.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "app/archive_writer.h"
#include "replay/replay_check.h"
#include "songs/beat_cache.h"
#include "support/child_process.h"
#include "support/x_desktop.h"

namespace fenwhit {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

std::string Xdotool(const std::vector<std::string>& words) {
  std::vector<std::string> command = {"xdotool"};
  command.insert(command.end(), words.begin(), words.end());
  std::string output;
  return testing::RunCommand(command, output) == 0 ? output : "";
}

// The files in a folder once it has one, within the time given; none if it never does.
// A file still being written (a hidden name, renamed into place once whole) is not one yet.
std::vector<fs::path> FilesSoon(const fs::path& folder, std::chrono::seconds within) {
  const auto end = std::chrono::steady_clock::now() + within;
  std::vector<fs::path> files;
  while (files.empty() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
      if (entry.path().filename().string().rfind('.', 0) != 0) files.push_back(entry.path());
    }
  }
  return files;
}

ino_t Inode(const fs::path& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

class MusicInAWindow : public testing::XDesktopTest {
 protected:
  void SetUp() override {
    XDesktopTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    if (!testing::Installed("xdotool")) GTEST_SKIP() << "xdotool is needed to press keys";
    work_.WriteFile("quellard.data",
                    BuildArchive(CollectAssetFolder(std::string(FENWHIT_SOURCE_DIR) + "/assets")));
    // A folder with a space, as a player's music folder often has.
    song_ = temp_.str() + "/my songs/swing.ogg";
    fs::create_directories(fs::path(song_).parent_path());
    fs::copy_file(std::string(FENWHIT_SOURCE_DIR) + "/tests/songs/swing_120.ogg", song_);
  }

  fs::path Beats() const { return temp_.str() + "/cache-home/fenwhit/beats"; }
  fs::path Replays() const { return temp_.str() + "/data-home/fenwhit/replays"; }

  testing::Child Start() {
    return testing::StartProgram(FENWHIT_EXECUTABLE, work_, temp_, {"--music", song_.c_str()},
                                 {"SDL_VIDEODRIVER=x11", "DISPLAY=" + Display(),
                                  "XDG_CACHE_HOME=" + temp_.str() + "/cache-home"});
  }

  ScratchDir work_;
  ScratchDir temp_;
  std::string song_;
};

TEST_F(MusicInAWindow, AGameFromTheMenuPlaysToTheSongAndItsBeatsAreKept) {
  const std::optional<std::string> key = SongContentKey(song_);
  ASSERT_TRUE(key);

  testing::Child first = Start();
  const std::vector<fs::path> kept = FilesSoon(Beats(), std::chrono::seconds(40));
  ASSERT_EQ(kept.size(), 1u) << "the song was not listened to";
  EXPECT_EQ(kept[0].filename(), *key);
  const ino_t keptInode = Inode(kept[0]);

  // Space held as a player holds it starts a game, left to play itself out.
  std::string window;
  std::istringstream found(
      Xdotool({"search", "--sync", "--onlyvisible", "--pid", std::to_string(first.pid)}));
  found >> window;
  ASSERT_FALSE(window.empty());
  Xdotool(
      {"windowactivate", "--sync", window, "keydown", "space", "sleep", "0.15", "keyup", "space"});
  std::this_thread::sleep_for(std::chrono::seconds(10));
  EXPECT_EQ(testing::CloseFromTheMenu(first), 0);

  const std::vector<fs::path> replays = FilesSoon(Replays(), std::chrono::seconds(5));
  ASSERT_EQ(replays.size(), 1u) << "no game was kept";
  std::string why;
  const std::optional<Replay> game = ReadPlayableReplay(replays[0], why);
  ASSERT_TRUE(game) << why;
  EXPECT_EQ(game->song.contentKey, *key);
  EXPECT_EQ(game->song.path, song_);
  // The song's beat thread counted beats for the game. How far apart they come in frames
  // depends on how fast a loaded machine draws; where each falls against the song is
  // measured on a virtual clock elsewhere.
  int32_t beats = 0;
  for (const ReplayFrame& frame : game->frames) beats += frame.beats;
  EXPECT_GE(beats, 4) << "the game took too few beats";

  // The second start finds the song's beats kept and does not listen again.
  testing::Child second = Start();
  std::this_thread::sleep_for(std::chrono::seconds(6));
  EXPECT_EQ(testing::CloseFromTheMenu(second), 0);
  EXPECT_EQ(Inode(kept[0]), keptInode) << "the song was listened to again";
  EXPECT_EQ(FilesSoon(Beats(), std::chrono::seconds(1)).size(), 1u);
}

}  // namespace
}  // namespace fenwhit
