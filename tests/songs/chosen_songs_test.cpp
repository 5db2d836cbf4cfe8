// The player's chosen music: which files of a folder are songs, the shuffle, listening on the
// worker with the cache, songs that cannot play, giving up, and the letters the menu shows.
#include "songs/chosen_songs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "ui/menu_letters.h"
#include "songs/song_folder.h"
#include "songs/song_tags.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

const fs::path kSongs = fs::path(FENWHIT_SOURCE_DIR) / "tests" / "songs";

// Waits (in real time: the worker is a real thread) until done() holds; false if that
// takes longer than any test song should.
template <typename Done>
bool WaitFor(Done done) {
  for (int i = 0; i < 60000 && !done(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

// Until the next game's song is found or given up.
bool Settled(const ChosenSongs& songs) {
  return WaitFor([&songs] { return !songs.ListeningForNextGame(); });
}

TEST(SongFolder, SongsByTheirExtensionOneFolderDownBoundedAndSafeFromLinks) {
  ScratchDir dir;
  for (const char* name : {"a.ogg", "B.FLAC", "c.Mp3", "d.opus", "e.oga", "f.wav", "notes.txt",
                           "wav", ".ogg", "album/g.ogg", "album/deeper/h.ogg"}) {
    dir.WriteFile(name, {1});
  }
  fs::create_symlink("album", dir.path() / "loop-free");
  fs::create_symlink(".", dir.path() / "album" / "self");
  fs::create_symlink("nowhere.ogg", dir.path() / "gone.ogg");
  const SongList list = ListSongs(dir.str());
  std::vector<std::string> names;
  for (const std::string& path : list.paths) {
    names.push_back(fs::path(path).lexically_relative(dir.path()).string());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"B.FLAC", "a.ogg", "album/g.ogg", "c.Mp3", "d.opus",
                                             "e.oga", "f.wav", "loop-free/g.ogg"}));
  EXPECT_EQ(list.why, "");

  // A file dropped alone is taken whatever its name; the decoder judges it.
  EXPECT_EQ(ListSongs(dir.str() + "/notes.txt").paths.size(), 1u);
  EXPECT_EQ(ListSongs(dir.str() + "/missing").why, "not found");
  EXPECT_EQ(ListSongs(dir.str() + "/album/deeper").paths.size(), 1u);
  fs::create_directory(dir.path() / "empty");
  EXPECT_EQ(ListSongs(dir.str() + "/empty").why, "no songs in the folder");
  EXPECT_EQ(ListSongs(dir.str(), {.maxSongs = 3}).paths.size(), 3u);
  EXPECT_LE(ListSongs(dir.str(), {.maxEntries = 4}).paths.size(), 4u);
}

TEST(SongFolder, MenuLettersAreTheFontsAndBounded) {
  EXPECT_EQ(MenuLetters("Song (Live) - the Band", 60), "SONG [LIVE] - THE BAND");
  EXPECT_EQ(MenuLetters("Caf\xc3\xa9 M\xc3\xbcller \xc3\xbf", 60), "CAF\xc9 M\xdcLLER Y");
  // A run of letters the font lacks (and broken UTF-8) is one "?"; control bytes go.
  EXPECT_EQ(MenuLetters("\xe6\x97\xa5\xe6\x9c\xac Song\x01\n", 60), "? SONG");
  EXPECT_EQ(MenuLetters("a\xff\xfe\xc3"
                        "b",
                        60),
            "A?B");
  EXPECT_EQ(MenuLetters("abcdefghij", 8), "ABCDE...");
  EXPECT_EQ(MenuLetters(std::string(100000, 'x'), 10).size(), 10u);
  EXPECT_EQ(SongFileTitle("/music/My Song.final.ogg"), "My Song.final");
  EXPECT_EQ(SongFileTitle(".hidden"), ".hidden");
}

// A folder of two good songs, a damaged one and a note, played game after game: every good
// song comes in turn with its tags and beats, the damaged one is named once and passed over,
// and each song is analysed once, a second run finding them all in the cache.
TEST(ChosenSongsTest, AFolderPlaysInTurnPassesOverTheDamagedAndUsesTheCache) {
  ScratchDir dir;
  const fs::path folder = dir.path() / "music";
  fs::create_directories(folder);
  fs::copy_file(kSongs / "straight_095.flac", folder / "one.flac");
  fs::copy_file(kSongs / "no_drums_110.ogg", folder / "two.ogg");
  std::vector<uint8_t> damaged = testing::ReadFileBytes(kSongs / "swing_120.ogg");
  damaged.resize(600);
  dir.WriteFile("music/broken.ogg", damaged);
  dir.WriteFile("music/notes.txt", {'h', 'i'});
  const std::string cache = dir.str() + "/cache";

  std::map<std::string, int> played;
  {
    ChosenSongs songs(cache, 7);
    EXPECT_EQ(songs.TakeSongForGame(), std::nullopt);  // nothing chosen yet
    ASSERT_TRUE(songs.Choose(folder.string()));
    for (int game = 0; game < 6; ++game) {
      ASSERT_TRUE(Settled(songs));
      const std::optional<PreparedSong> song = songs.TakeSongForGame();
      ASSERT_TRUE(song) << game;
      ++played[fs::path(song->path).filename().string()];
      EXPECT_EQ(song->artist, "Fenwhit test songs");
      EXPECT_FALSE(song->title.empty());
      EXPECT_EQ(song->contentKey.size(), 32u);
      EXPECT_GT(song->beats.beats.size(), 20u);
    }
    const ChosenSongsView view = songs.View();
    EXPECT_EQ(view.troubleName, "broken");
    EXPECT_FALSE(view.troubleWhy.empty());
    EXPECT_EQ(view.troubleSerial, 1u);
    EXPECT_EQ(songs.Analyses(), 2);
  }
  EXPECT_EQ(played, (std::map<std::string, int>{{"one.flac", 3}, {"two.ogg", 3}}));

  ChosenSongs again(cache, 8);
  ASSERT_TRUE(again.Choose(folder.string()));
  for (int game = 0; game < 3; ++game) {
    ASSERT_TRUE(Settled(again));
    EXPECT_TRUE(again.TakeSongForGame());
  }
  EXPECT_EQ(again.Analyses(), 0);

  // A song that went away mid-game is passed over from then on.
  again.CannotPlay((folder / "one.flac").string(), "not found");
  for (int game = 0; game < 3; ++game) {
    ASSERT_TRUE(Settled(again));
    const auto song = again.TakeSongAfter(PreparedSong{});
    ASSERT_TRUE(song);
    EXPECT_EQ(fs::path(song->path).filename(), "two.ogg");
  }
  EXPECT_EQ(again.View().troubleName, "one");
}

TEST(ChosenSongsTest, EmptyFolderGiveUpAndTheGamesOwnMusic) {
  ScratchDir dir;
  fs::create_directories(dir.path() / "empty");
  ChosenSongs songs(dir.str() + "/cache", 1);
  EXPECT_FALSE(songs.Choose(dir.str() + "/empty"));
  ChosenSongsView view = songs.View();
  EXPECT_FALSE(view.chosen);
  EXPECT_EQ(view.troubleName, "empty");
  EXPECT_EQ(view.troubleWhy, "no songs in the folder");
  EXPECT_FALSE(songs.ListeningForNextGame());
  EXPECT_EQ(songs.TakeSongForGame(), std::nullopt);

  // Given up while listening: no song, at once; switched back, it is listened to again.
  const std::string song = (kSongs / "tempo_change_100_140.ogg").string();
  ASSERT_TRUE(songs.Choose(song));
  EXPECT_TRUE(songs.ListeningForNextGame());
  EXPECT_TRUE(WaitFor([&songs] { return songs.Busy(); }));
  songs.GiveUpListening();
  EXPECT_FALSE(songs.ListeningForNextGame());
  EXPECT_TRUE(songs.OwnMusic());
  EXPECT_EQ(songs.TakeSongForGame(), std::nullopt);
  // The worker stops at once: the processor is the game's again.
  EXPECT_TRUE(WaitFor([&songs] { return !songs.Busy(); }));
  EXPECT_EQ(songs.Analyses(), 0);
  songs.SetOwnMusic(false);
  ASSERT_TRUE(Settled(songs));
  const auto first = songs.TakeSongForGame();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->path, song);
  // One song plays game after game without being listened to again.
  EXPECT_FALSE(songs.ListeningForNextGame());
  EXPECT_EQ(songs.TakeSongForGame(), first);
  EXPECT_EQ(songs.Analyses(), 1);

  // The game's own music: nothing is taken until the player switches back.
  songs.SetOwnMusic(true);
  EXPECT_EQ(songs.TakeSongForGame(), std::nullopt);
  EXPECT_EQ(songs.TakeSongAfter(*first), std::nullopt);
  songs.SetOwnMusic(false);
  EXPECT_EQ(songs.TakeSongForGame(), first);
}

}  // namespace
}  // namespace fenwhit
