// Games played to a song of the player's: the replay keeps the song, is checked without it,
// and when watched plays the song found by its content, or plays silently and says so.
#include "replay/replay_song.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "audio/sound_ids.h"
#include "autoplay/autopilot_platform.h"
#include "replay/replay_check.h"
#include "replay/replay_recorder.h"
#include "songs/beat_cache.h"
#include "support/child_process.h"
#include "support/program_harness.h"
#include "support/scratch_dir.h"
#include "support/short_game.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

namespace fs = std::filesystem;
using testing::ProgramHarness;
using testing::ScratchDir;

const fs::path kTestSongs = fs::path(FENWHIT_SOURCE_DIR) / "tests" / "songs";
const std::string kTitle =
    "Swing \xc3\xbc"
    "ber alles \xe2\x99\xab";

// Plays the player's songs as far as a test needs: each decoder becomes a stream handle.
class SongPlayingDevice final : public RecordingSoundDevice {
 public:
  SoundHandle OpenDecodedStream(std::unique_ptr<StreamDecoder> decoder) override {
    if (!decoder) return 0;
    songs.push_back(kFirstSong + static_cast<SoundHandle>(songs.size()));
    return songs.back();
  }
  static constexpr SoundHandle kFirstSong = 9000;
  std::vector<SoundHandle> songs;
};

// Beats handed to the song's beat thread one at a time.
class SongBeats {
 public:
  std::unique_ptr<BeatCounter> Counter() { return std::make_unique<Taker>(due_); }
  // False when the beat thread did not take it within ten seconds.
  bool Deliver() {
    due_->store(1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (due_->load() != 0) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

 private:
  class Taker final : public BeatCounter {
   public:
    explicit Taker(std::shared_ptr<std::atomic<int32_t>> due) : due_(std::move(due)) {}
    int32_t Count() override { return due_->exchange(0); }

   private:
    std::shared_ptr<std::atomic<int32_t>> due_;
  };
  std::shared_ptr<std::atomic<int32_t>> due_ = std::make_shared<std::atomic<int32_t>>(0);
};

// Starts every game with the song, as the player's choice does.
class SongChoice final : public GameMusicChoice {
 public:
  SongChoice(GameSong song, SongBeats& beats) : song_(std::move(song)), beats_(beats) {}
  bool StartGameMusic() override {
    StartSongGameMusic(kStream, beats_.Counter());
    SetGameSong(song_);
    return true;
  }
  static constexpr SoundHandle kStream = 4242;

 private:
  GameSong song_;
  SongBeats& beats_;
};

fs::path CopySong(const fs::path& folder, const std::string& name) {
  fs::create_directories(folder);
  fs::copy_file(kTestSongs / "swing_120.ogg", folder / name, fs::copy_options::overwrite_existing);
  return folder / name;
}

std::string KeyOf(const fs::path& song) {
  return SongContentKey(song.string()).value_or("");
}

// A short game played to the song at `path`, recorded through the real program.
Replay RecordSongGame(const fs::path& path) {
  ProgramHarness harness;
  menu.menuIndex = 0;
  AutopilotPlatform autopilot(harness.platform);
  std::vector<Replay> games;
  ReplayRecorder recorder(autopilot, "TESTER",
                          [&games](Replay&& game) { games.push_back(std::move(game)); });
  SongBeats beats;
  SongChoice choice({kTitle, KeyOf(path), path.string()}, beats);
  SetGameMusicChoice(&choice);
  harness.Run(testing::ShortGameScript(beats, 400), recorder, harness.renderer);
  SetGameMusicChoice(nullptr);
  EXPECT_EQ(games.size(), 1u);
  return games.empty() ? Replay{} : games[0];
}

int32_t BeatsIn(const Replay& replay) {
  int32_t beats = 0;
  for (const ReplayFrame& frame : replay.frames) beats += frame.beats;
  return beats;
}

struct Watched {
  int status = -1;
  ReplayOutcome outcome;
  std::string err;
  std::vector<SoundHandle> songsOpened;
  std::vector<SoundCall> gameMusicPlays;  // streams played on the game music channel
  bool ownMusicOpened = false;
  GameSong song;
};

// Watches the replay with the music `--replay` gives it.
Watched Watch(const Replay& replay, const std::string& musicSetting) {
  ProgramHarness harness;
  SongPlayingDevice device;
  std::ostringstream err;
  ReplaySongMusic music(replay.song, FindReplaySong(replay.song, musicSetting), err);
  SetGameMusicChoice(&music);
  ReplayPlayer player(harness.platform, ReplayPlayer::Mode::kWatch);
  // A replay that never ends fails here instead of hanging.
  harness.platform.SetScript([](TestPlatform& p, int pump) {
    if (pump == ProgramHarness::kFrameLimit) p.RequestClose();
  });
  Watched watched;
  watched.status =
      PlayRecordedGame(player, harness.renderer, device, harness.options, replay, watched.outcome);
  SetGameMusicChoice(nullptr);
  watched.err = err.str();
  watched.songsOpened = device.songs;
  for (const SoundCall& call : device.CallsOf("stream_play")) {
    if (call.channel == sound::kGameMusicChannel && call.handle != 0) {
      watched.gameMusicPlays.push_back(call);
    }
  }
  for (const SoundCall& call : device.CallsOf("open")) {
    if (call.path.ends_with("BPM180.ogg")) watched.ownMusicOpened = true;
  }
  watched.song = CurrentGameSong();
  return watched;
}

// The song game, recorded once for all the tests below.
const Replay& SongGame() {
  static const ScratchDir folder;
  static const Replay replay = [] {
    const fs::path song = CopySong(folder.path() / "Music", "swing.ogg");
    Replay game = RecordSongGame(song);
    fs::remove(song);
    return game;
  }();
  return replay;
}

TEST(ReplaySong, TheRecordingKeepsTheSongAndIsCheckedWithoutIt) {
  const Replay& game = SongGame();
  ASSERT_FALSE(game.frames.empty());
  EXPECT_EQ(game.song.title, kTitle);
  EXPECT_EQ(game.song.contentKey, KeyOf(kTestSongs / "swing_120.ogg"));
  EXPECT_TRUE(game.song.path.ends_with("/Music/swing.ogg")) << game.song.path;
  EXPECT_GE(BeatsIn(game), 10);

  // The song file is gone; the program checks the game from its beats alone.
  ScratchDir work;
  ScratchDir temp;
  const std::string file = EncodeReplay(game);
  work.WriteFile("song.fwreplay", {file.begin(), file.end()});
  const std::string path = work.str() + "/song.fwreplay";
  const auto child =
      testing::StartProgram(FENWHIT_EXECUTABLE, work, temp, {"--check-replay", path.c_str()});
  EXPECT_EQ(testing::WaitFor(child, std::chrono::seconds(120)), 0);
  EXPECT_EQ(testing::ReadText(child.stdoutFile).find(path + ": matches, score "), 0u)
      << testing::ReadText(child.stdoutFile) << testing::ReadText(child.stderrFile);
}

TEST(ReplaySong, WatchedItPlaysTheSongFoundInItsFolderOrNoMusicAndSaysSo) {
  ScratchDir music;
  Replay game = SongGame();
  // The song was moved within the folder it was played from.
  game.song.path = (music.path() / "swing.ogg").string();
  const fs::path moved = CopySong(music.path(), "swing (2).ogg");
  const Watched found = Watch(game, "");
  EXPECT_EQ(found.status, 0);
  EXPECT_TRUE(found.outcome.matches) << found.outcome.difference;
  EXPECT_EQ(found.err, "");
  ASSERT_EQ(found.songsOpened.size(), 1u);
  ASSERT_EQ(found.gameMusicPlays.size(), 1u);
  EXPECT_EQ(found.gameMusicPlays[0].handle, found.songsOpened[0]);
  EXPECT_FALSE(found.ownMusicOpened);
  EXPECT_EQ(found.song, (GameSong{kTitle, game.song.contentKey, moved.string()}));

  // Gone: no music at all, and one line naming the song.
  fs::remove(moved);
  const Watched missing = Watch(game, "");
  EXPECT_EQ(missing.status, 0);
  EXPECT_TRUE(missing.outcome.matches) << missing.outcome.difference;
  EXPECT_EQ(missing.err, "fenwhit: the song \"" + kTitle +
                             "\" this game was played to is not here; the replay plays "
                             "without music\n");
  EXPECT_TRUE(missing.songsOpened.empty());
  EXPECT_TRUE(missing.gameMusicPlays.empty());
  EXPECT_FALSE(missing.ownMusicOpened);
  EXPECT_EQ(missing.outcome.frames, static_cast<int64_t>(game.frames.size()));

  // Found by its content, the file turns out to be no song: no music either.
  const fs::path notes = music.path() / "notes.txt";
  std::ofstream(notes) << "not a song";
  Replay notSong = game;
  notSong.song = {"Notes", KeyOf(notes), notes.string()};
  const Watched unplayable = Watch(notSong, "");
  EXPECT_TRUE(unplayable.outcome.matches) << unplayable.outcome.difference;
  EXPECT_EQ(
      unplayable.err.find("fenwhit: the song \"Notes\" this game was played to cannot play ("), 0u)
      << unplayable.err;
  EXPECT_TRUE(unplayable.err.ends_with("); the replay plays without music\n")) << unplayable.err;
  EXPECT_TRUE(unplayable.gameMusicPlays.empty());
  EXPECT_FALSE(unplayable.ownMusicOpened);
}

// fenwhit --replay as the player runs it: the song looked for where the settings keep
// the player's music too, and a word on stderr when it is nowhere.
TEST(ReplaySong, TheProgramLooksInThePlayersMusicAndSaysWhenTheSongIsNowhere) {
  ScratchDir work;
  Replay game = SongGame();
  game.song.path = (work.path() / "gone" / "swing.ogg").string();
  const std::string file = EncodeReplay(game);
  work.WriteFile("song.fwreplay", {file.begin(), file.end()});
  const std::string path = work.str() + "/song.fwreplay";
  const auto watch = [&](const std::string& settings) {
    ScratchDir temp;
    if (!settings.empty())
      temp.WriteFile("config-home/fenwhit/settings", {settings.begin(), settings.end()});
    const auto child =
        testing::StartProgram(FENWHIT_EXECUTABLE, work, temp, {"--replay", path.c_str()});
    EXPECT_EQ(testing::WaitFor(child, std::chrono::seconds(120)), 0);
    return testing::ReadText(child.stderrFile);
  };
  EXPECT_EQ(watch(""), "fenwhit: the song \"" + kTitle +
                           "\" this game was played to is not here; the replay plays without "
                           "music\n");
  const fs::path albums = work.path() / "albums";
  CopySong(albums / "swing", "01 swing.ogg");
  EXPECT_EQ(watch("volume = 0\nmusic = " + albums.string() + "\n"), "");
}

TEST(ReplaySong, TheSearchGoesByContentPassesOverWhatCannotBeReadAndIsBounded) {
  ScratchDir root;
  const fs::path folder = root.path() / "played";
  const fs::path song = CopySong(folder, "song.ogg");
  const ReplaySong wanted{"Song", KeyOf(song), song.string()};
  // In the way: another song, a fifo (a read would wait for a writer), a link to nothing
  // and a folder.
  fs::copy_file(kTestSongs / "straight_070.ogg", folder / "other.ogg");
  ASSERT_EQ(mkfifo((folder / "fifo.ogg").c_str(), 0600), 0);
  fs::create_symlink(folder / "nowhere.ogg", folder / "link.ogg");
  fs::create_directory(folder / "album.ogg");
  EXPECT_EQ(FindReplaySong(wanted, ""), song.string());
  EXPECT_EQ(FindReplaySong(ReplaySong{}, root.str()), std::nullopt);
  // An empty file is no song (and those of /proc, which say they are empty, may never end).
  const fs::path empty = folder / "empty.ogg";
  std::ofstream{empty};
  EXPECT_EQ(FindReplaySong({"Empty", KeyOf(empty), empty.string()}, ""), std::nullopt);

  const fs::path renamed = folder / "renamed.ogg";
  fs::rename(song, renamed);
  EXPECT_EQ(FindReplaySong(wanted, ""), renamed.string());

  // Below the folder it was played from, only the player's music finds it: a folder,
  // searched through, or the file itself.
  const fs::path deep = folder / "sub" / "deep.ogg";
  fs::create_directory(folder / "sub");
  fs::rename(renamed, deep);
  EXPECT_EQ(FindReplaySong(wanted, ""), std::nullopt);
  EXPECT_EQ(FindReplaySong(wanted, root.str()), deep.string());
  EXPECT_EQ(FindReplaySong(wanted, deep.string()), deep.string());
  EXPECT_EQ(FindReplaySong({"Song", wanted.contentKey, ""}, root.str()), deep.string());
  EXPECT_EQ(FindReplaySong({"Song", std::string(32, '0'), song.string()}, root.str()),
            std::nullopt);

  // A folder of as many files as a search reads spends it before the player's music.
  const fs::path crowded = root.path() / "crowded";
  fs::create_directory(crowded);
  for (int i = 0; i < kMostSongFilesRead; ++i) {
    std::ofstream(crowded / std::to_string(i)) << i;
  }
  const ReplaySong lost{"Song", wanted.contentKey, (crowded / "gone.ogg").string()};
  EXPECT_EQ(FindReplaySong(lost, deep.string()), std::nullopt);
  fs::remove(crowded / "0");
  EXPECT_EQ(FindReplaySong(lost, deep.string()), deep.string());

  // The settings line, until the settings know the key themselves.
  EXPECT_EQ(KeptSettingValue({"theme = dark", "musical = no", "  music =  /a b/c  "}, "music"),
            "/a b/c");
  EXPECT_EQ(KeptSettingValue({"music = /a", "music=/b"}, "music"), "/b");
  EXPECT_EQ(KeptSettingValue({"theme = dark", "music /a"}, "music"), "");
}

}  // namespace
}  // namespace fenwhit
