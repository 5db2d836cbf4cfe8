// Games played to a song of the player's: the replay keeps the song, is checked without it,
// and when watched plays the song found by its content, or plays silently and says so.
#include "replay/replay_song.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/sound_ids.h"
#include "autoplay/autopilot_platform.h"
#include "replay/replay_check.h"
#include "replay/replay_recorder.h"
#include "songs/beat_cache.h"
#include "support/child_process.h"
#include "support/program_harness.h"
#include "support/short_game.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

namespace fs = std::filesystem;
using testing::ProgramHarness;
using testing::ScratchDir;

const std::string kTitle =
    "Swing \xc3\xbc"
    "ber alles \xe2\x99\xab";

// Plays the player's songs as far as a test needs: each decoder becomes a stream handle.
class SongPlayingDevice final : public RecordingSoundDevice {
 public:
  SoundHandle OpenDecodedStream(std::unique_ptr<StreamDecoder> decoder) override {
    if (decoder) songs.push_back(9000 + static_cast<SoundHandle>(songs.size()));
    return decoder ? songs.back() : 0;
  }
  std::vector<SoundHandle> songs;
};

// Starts every game with the song, as the player's choice does, a beat at every poll.
class SongChoice final : public GameMusicChoice, public BeatCounter {
 public:
  explicit SongChoice(GameSong song) : song_(std::move(song)) {}
  bool StartGameMusic() override {
    StartSongGameMusic(4242, std::unique_ptr<BeatCounter>(new SongChoice(song_)));
    SetGameSong(song_);
    return true;
  }
  int32_t Count() override { return 1; }
  bool Deliver() { return true; }  // the beats come by themselves

 private:
  GameSong song_;
};

fs::path CopySong(const fs::path& folder, const std::string& name) {
  fs::create_directories(folder);
  fs::copy_file(fs::path(FENWHIT_SOURCE_DIR) / "tests/songs/swing_120.ogg", folder / name);
  return folder / name;
}

std::string KeyOf(const fs::path& file) {
  return SongContentKey(file.string()).value_or("");
}

// A short game played to a song since deleted, recorded once through the real program.
const Replay& SongGame() {
  static const Replay game = [] {
    const ScratchDir music;
    const fs::path song = CopySong(music.path(), "swing.ogg");
    ProgramHarness harness;
    menu.menuIndex = 0;
    AutopilotPlatform autopilot(harness.platform);
    std::vector<Replay> games;
    ReplayRecorder recorder(autopilot, "TESTER", [&](Replay&& played) { games.push_back(played); });
    SongChoice choice({kTitle, KeyOf(song), song.string()});
    SetGameMusicChoice(&choice);
    harness.Run(testing::ShortGameScript(choice, 400), recorder, harness.renderer);
    SetGameMusicChoice(nullptr);
    EXPECT_EQ(games.size(), 1u);
    return games.empty() ? Replay{} : games[0];
  }();
  return game;
}

struct Watched {
  ReplayOutcome outcome;
  std::string err;
  std::vector<SoundHandle> songsOpened;
  std::vector<SoundHandle> gameMusicPlayed;
  bool ownMusicOpened = false;
};

// Watches the replay with the music `--replay` gives it.
Watched Watch(const Replay& replay) {
  ProgramHarness harness;
  SongPlayingDevice device;
  std::ostringstream err;
  ReplaySongMusic music(replay.song, FindReplaySong(replay.song, ""), err);
  SetGameMusicChoice(&music);
  ReplayPlayer player(harness.platform, ReplayPlayer::Mode::kWatch);
  Watched watched;
  EXPECT_EQ(
      PlayRecordedGame(player, harness.renderer, device, harness.options, replay, watched.outcome),
      0);
  SetGameMusicChoice(nullptr);
  watched.err = err.str();
  watched.songsOpened = device.songs;
  for (const SoundCall& call : device.CallsOf("stream_play")) {
    if (call.channel == sound::kGameMusicChannel && call.handle != 0) {
      watched.gameMusicPlayed.push_back(call.handle);
    }
  }
  for (const SoundCall& call : device.CallsOf("open")) {
    watched.ownMusicOpened |= call.path.ends_with("BPM180.ogg");
  }
  return watched;
}

TEST(ReplaySong, TheRecordingKeepsTheSongAndIsCheckedWithoutIt) {
  const Replay& game = SongGame();
  ASSERT_FALSE(game.frames.empty());
  EXPECT_EQ(game.song.title, kTitle);
  EXPECT_EQ(game.song.contentKey, KeyOf(CopySong(ScratchDir().path(), "again.ogg")));
  EXPECT_TRUE(game.song.path.ends_with("/swing.ogg")) << game.song.path;

  ScratchDir work;
  ScratchDir temp;
  const std::string file = EncodeReplay(game);
  work.WriteFile("song.fwreplay", {file.begin(), file.end()});
  const std::string path = work.str() + "/song.fwreplay";
  const auto child =
      testing::StartProgram(FENWHIT_EXECUTABLE, work, temp, {"--check-replay", path.c_str()});
  EXPECT_EQ(testing::WaitFor(child, std::chrono::seconds(120)), 0);
  EXPECT_EQ(testing::ReadText(child.stdoutFile).find(path + ": matches, score "), 0u)
      << testing::ReadText(child.stderrFile);
}

TEST(ReplaySong, WatchedItPlaysTheSongFoundInItsFolderOrNoMusicAndSaysSo) {
  ScratchDir music;
  Replay game = SongGame();
  game.song.path = (music.path() / "swing.ogg").string();
  const fs::path moved = CopySong(music.path(), "swing (2).ogg");
  const Watched found = Watch(game);
  EXPECT_TRUE(found.outcome.matches) << found.outcome.difference;
  EXPECT_EQ(found.err, "");
  ASSERT_EQ(found.songsOpened.size(), 1u);
  EXPECT_EQ(found.gameMusicPlayed, found.songsOpened);
  EXPECT_FALSE(found.ownMusicOpened);
  EXPECT_EQ(CurrentGameSong(), (GameSong{kTitle, game.song.contentKey, moved.string()}));

  fs::remove(moved);
  const Watched missing = Watch(game);
  EXPECT_TRUE(missing.outcome.matches) << missing.outcome.difference;
  EXPECT_EQ(missing.outcome.frames, static_cast<int64_t>(game.frames.size()));
  EXPECT_EQ(missing.err, "fenwhit: the song \"" + kTitle +
                             "\" this game was played to is not here; the replay plays without "
                             "music\n");
  EXPECT_TRUE(missing.gameMusicPlayed.empty());
  EXPECT_FALSE(missing.ownMusicOpened);
}

// fenwhit --replay as the player runs it, the song also looked for in the player's music.
TEST(ReplaySong, TheProgramLooksInThePlayersMusicAndSaysWhenTheSongIsNowhere) {
  ScratchDir work;
  Replay game = SongGame();
  game.song.path = (work.path() / "gone" / "swing.ogg").string();
  const std::string file = EncodeReplay(game);
  work.WriteFile("song.fwreplay", {file.begin(), file.end()});
  const std::string path = work.str() + "/song.fwreplay";
  const auto watch = [&](const std::string& settings) {
    ScratchDir temp;
    temp.WriteFile("config-home/fenwhit/settings", {settings.begin(), settings.end()});
    const auto child =
        testing::StartProgram(FENWHIT_EXECUTABLE, work, temp, {"--replay", path.c_str()});
    EXPECT_EQ(testing::WaitFor(child, std::chrono::seconds(120)), 0);
    return testing::ReadText(child.stderrFile);
  };
  EXPECT_EQ(watch("volume = 0\n"), "fenwhit: the song \"" + kTitle +
                                       "\" this game was played to is not here; the replay "
                                       "plays without music\n");
  CopySong(work.path() / "albums" / "swing", "01 swing.ogg");
  EXPECT_EQ(watch("volume = 0\nmusic = " + work.str() + "/albums\n"), "");
}

TEST(ReplaySong, TheSearchGoesByContentPassesOverWhatCannotBeReadAndIsBounded) {
  ScratchDir root;
  const fs::path folder = root.path() / "played";
  const fs::path song = CopySong(folder, "song.ogg");
  const std::string key = KeyOf(song);
  // In the way: a fifo, a link to nothing, a folder, and an empty file (no song, though
  // every empty file has the same key).
  ASSERT_EQ(mkfifo((folder / "fifo.ogg").c_str(), 0600), 0);
  fs::create_symlink(folder / "nowhere.ogg", folder / "link.ogg");
  fs::create_directory(folder / "album.ogg");
  std::ofstream{folder / "empty.ogg"};
  EXPECT_EQ(FindReplaySong({"", key, song.string()}, ""), song.string());
  EXPECT_EQ(FindReplaySong({"", KeyOf(folder / "empty.ogg"), song.string()}, ""), std::nullopt);

  // Moved within its folder; then below it, where only the player's music finds it.
  const fs::path deep = folder / "sub" / "deep.ogg";
  fs::rename(song, folder / "renamed.ogg");
  EXPECT_EQ(FindReplaySong({"", key, song.string()}, ""), (folder / "renamed.ogg").string());
  fs::create_directory(folder / "sub");
  fs::rename(folder / "renamed.ogg", deep);
  EXPECT_EQ(FindReplaySong({"", key, song.string()}, ""), std::nullopt);
  EXPECT_EQ(FindReplaySong({"", key, song.string()}, root.str()), deep.string());

  // A folder of as many files as a search reads spends it before the player's music.
  const fs::path crowded = root.path() / "crowded";
  fs::create_directory(crowded);
  for (int i = 0; i < kMostSongFilesRead; ++i) std::ofstream(crowded / std::to_string(i)) << i;
  const ReplaySong lost{"", key, (crowded / "gone.ogg").string()};
  EXPECT_EQ(FindReplaySong(lost, deep.string()), std::nullopt);
  fs::remove(crowded / "0");
  EXPECT_EQ(FindReplaySong(lost, deep.string()), deep.string());
}

}  // namespace
}  // namespace fenwhit
