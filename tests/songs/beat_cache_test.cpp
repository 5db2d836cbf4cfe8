// The beat cache: songs known again by their content, entries read back as written,
// and every damaged or foreign entry taken as none and written anew.
#include "songs/beat_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "common/content_hash.h"
#include "keep/xdg_folders.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using testing::ScratchDir;

BeatTimes SomeBeats() {
  BeatTimes beats;
  beats.tempo = 128.0213;
  beats.steady = true;
  beats.beats = {0.0, 0.46875, 0.9375000001, 1.40625, 3599.999};
  return beats;
}

TEST(BeatCacheTest, ASongIsKnownByItsWholeContentWhateverItIsCalled) {
  ScratchDir dir;
  std::vector<uint8_t> song(200000);
  for (size_t i = 0; i < song.size(); ++i) song[i] = static_cast<uint8_t>(i * 7 + i / 251);
  dir.WriteFile("a.flac", song);
  dir.WriteFile("b.ogg", song);
  song[150000] ^= 1;
  dir.WriteFile("changed.flac", song);
  song[150000] ^= 1;
  song.push_back(0);
  dir.WriteFile("longer.flac", song);
  const auto key = SongContentKey(dir.str() + "/a.flac");
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->size(), 32u);
  EXPECT_EQ(SongContentKey(dir.str() + "/b.ogg"), key);
  EXPECT_NE(SongContentKey(dir.str() + "/changed.flac"), key);
  EXPECT_NE(SongContentKey(dir.str() + "/longer.flac"), key);
  EXPECT_EQ(SongContentKey(dir.str() + "/missing.flac"), std::nullopt);
  EXPECT_EQ(SongContentKey(dir.str()), std::nullopt);
  // However the bytes come in, the hash is the same; trailing zeros still count.
  ContentHash whole;
  whole.Add(song.data(), song.size());
  ContentHash pieces;
  for (size_t at = 0, step = 1; at < song.size(); at += step, step = step * 3 % 97 + 1) {
    pieces.Add(song.data() + at, std::min(step, song.size() - at));
  }
  EXPECT_EQ(pieces.Hex(), whole.Hex());
  ContentHash empty;
  ContentHash oneZero;
  oneZero.Add("", 1);
  EXPECT_NE(empty.Hex(), oneZero.Hex());
}

TEST(BeatCacheTest, EntriesReadBackAsWrittenAndOnlyUnderAKey) {
  ScratchDir dir;
  const BeatCache cache(dir.str() + "/cache/fenwhit/beats");
  const std::string key(32, 'a');
  EXPECT_EQ(cache.Find(key), std::nullopt);
  std::string error;
  ASSERT_TRUE(cache.Store(key, SomeBeats(), error)) << error;
  EXPECT_EQ(cache.Find(key), SomeBeats());
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"cache/fenwhit/beats/" + key});
  // Nothing but a key names a file: no way out of the folder.
  EXPECT_FALSE(cache.Store("../../escaped", SomeBeats(), error));
  EXPECT_FALSE(cache.Store(std::string(32, 'A'), SomeBeats(), error));
  EXPECT_EQ(dir.Files().size(), 1u);
  EXPECT_FALSE(BeatCache("").Store(key, SomeBeats(), error));
  EXPECT_EQ(BeatCacheFolder([](const char* name) -> const char* {
              return std::string(name) == "XDG_CACHE_HOME" ? "/c/" : "/home/p";
            }),
            "/c/fenwhit/beats");
  EXPECT_EQ(BeatCacheFolder([](const char* name) -> const char* {
              return std::string(name) == "HOME" ? "/home/p" : "relative";
            }),
            "/home/p/.cache/fenwhit/beats");
}

TEST(BeatCacheTest, DamagedOrForeignEntriesAreNoneAndAreWrittenAnew) {
  const std::string good = FormatBeatTimes(SomeBeats());
  ASSERT_EQ(ParseBeatTimes(good), SomeBeats());
  std::string tooMany = "fenwhit beats 1\ntempo 120\nsteady 0\nbeats 100001\n";
  for (int i = 0; i < 100001; ++i) tooMany += std::to_string(i * 0.5) + "\n";
  const std::string damaged[] = {
      "",
      good.substr(0, good.size() - 1),                            // cut short
      good.substr(0, good.rfind('\n', good.size() - 2) + 1),      // a beat missing
      good + "1e9\n",                                             // more than it says
      "fenwhit beats 2" + good.substr(15),                        // a newer version
      "fenwhit beats 1\ntempo 120\nsteady 0\nbeats 2\n1\n0.5\n",  // not rising
      "fenwhit beats 1\ntempo 120\nsteady 0\nbeats 2\n1\n1\n",    // a beat twice
      "fenwhit beats 1\ntempo 120\nsteady 0\nbeats 1\nnan\n",
      "fenwhit beats 1\ntempo 120\nsteady 0\nbeats 1\n-1\n",
      "fenwhit beats 1\ntempo 120\nsteady 0\nbeats 1\n86400.5\n",  // past 24 hours
      "fenwhit beats 1\ntempo inf\nsteady 0\nbeats 0\n",
      "fenwhit beats 1\ntempo 1e6\nsteady 0\nbeats 0\n",
      "fenwhit beats 1\ntempo 120\nsteady 2\nbeats 0\n",
      "fenwhit beats 1\ntempo 120\nsteady 0\nbeats -1\n",
      "fenwhit beats 1\ntempo 120\nsteady 0\nbeats 0x3\n",
      "fenwhit beats 1\ntempo  120\nsteady 0\nbeats 0\n",
      "fenwhit beats 1\ntempo 120\nsteady 0\nbeats 99999999999999999999999\n",
      tooMany,
  };
  for (const std::string& text : damaged) {
    EXPECT_EQ(ParseBeatTimes(text), std::nullopt) << text.substr(0, 80);
  }
  EXPECT_TRUE(ParseBeatTimes("fenwhit beats 1\ntempo 0\nsteady 0\nbeats 0\n").has_value());

  ScratchDir dir;
  const BeatCache cache(dir.str());
  const std::string key(32, '7');
  std::string error;
  for (const std::string& text : {damaged[1], damaged[4]}) {
    dir.WriteFile(key, std::vector<uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(cache.Find(key), std::nullopt);
    ASSERT_TRUE(cache.Store(key, SomeBeats(), error)) << error;
    EXPECT_EQ(cache.Find(key), SomeBeats());
  }
}

}  // namespace
}  // namespace fenwhit
