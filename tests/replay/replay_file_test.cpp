// The replay file: what goes in comes out, small, and nothing else is ever taken for a replay.
#include "replay/replay_file.h"

#include <gtest/gtest.h>
#include <libdeflate.h>

#include <cstdio>
#include <functional>
#include <limits>
#include <random>

#include "keep/scores.h"
#include "support/replay_bytes.h"

namespace fenwhit {
namespace {

using testing::Patched;
using Header = testing::ReplayHeader;

// Five minutes of two-paddle play: a key pressed or let go every second or so, a click now and
// then, a beat every 20 frames, and the window closed at the end.
Replay FiveMinuteGame() {
  std::mt19937_64 random(20251207);
  Replay replay;
  replay.gameVersion = "0.9.0";
  replay.kind = 1;
  replay.screenMode = 3;
  replay.seed = random();
  replay.startTime = 1'765'000'000;
  replay.player = "ANN-MARIE_2.";
  replay.finalScore = 123'456'789;
  replay.startState.resize(6000);
  for (size_t i = 0; i < replay.startState.size(); ++i) {
    replay.startState[i] = static_cast<uint8_t>(i % 5 == 0 ? random() : i / 100);
  }
  constexpr int kKeys[] = {0, 4, 7, 22, 26, 41, 44, 63, 64, 79, 80, 81, 82, 100, 127};
  ReplayFrame held;
  for (int i = 0; i < 18'000; ++i) {
    ReplayFrame frame;
    frame.keys = held.keys;
    frame.mouseButtons = held.mouseButtons;
    if (random() % 45 == 0) {
      const int code = kKeys[random() % std::size(kKeys)];
      frame.keys[code / 64] ^= uint64_t{1} << (code % 64);
    }
    if (random() % 400 == 0) frame.mouseButtons ^= 1 << (random() % 3);
    if (i % 20 == 7) frame.beats = random() % 8 == 0 ? 2 : 1;
    replay.frames.push_back(frame);
    held = frame;
  }
  replay.frames.back().close = true;
  for (int i = 0; i < 301; ++i) replay.checksums.push_back(random());
  return replay;
}

// A replay that fits every rule, small enough to damage byte by byte.
Replay SmallGame() {
  Replay replay;
  replay.gameVersion = "0.9.0";
  replay.player = "BOB";
  replay.architecture = "aarch64";
  replay.song = {"Nachtfalter \xe2\x80\x93 B\xc3\xa4r", std::string(32, 'c'),
                 "/home/bob/Music/falter.ogg"};
  replay.seed = 99;
  replay.startTime = 1'700'000'000;
  replay.finalScore = 4200;
  replay.startState = {1, 2, 3, 4, 5};
  replay.frames.resize(130);
  replay.frames[3].keys[0] = 1 << 9;
  replay.frames[4].beats = 1;
  replay.frames[70].mouseButtons = 5;
  replay.frames.back().close = true;
  replay.checksums = {11, 22, 33};
  return replay;
}

std::optional<Replay> Decode(const std::string& bytes, std::string& why) {
  why.clear();
  return DecodeReplay(bytes, why);
}

TEST(ReplayFile, FiveMinuteGameComesBackWholeAndSmall) {
  const Replay game = FiveMinuteGame();
  const std::string file = EncodeReplay(game);
  std::printf("a five-minute game takes %zu bytes\n", file.size());
  EXPECT_LT(file.size(), 100'000u);
  EXPECT_EQ(EncodeReplay(game), file);
  std::string why;
  const std::optional<Replay> decoded = Decode(file, why);
  ASSERT_TRUE(decoded) << why;
  EXPECT_TRUE(*decoded == game);
}

TEST(ReplayFile, ExtremeValuesComeBack) {
  std::vector<Replay> replays;
  Replay empty = SmallGame();
  empty.frames.clear();
  empty.checksums = {7};
  empty.startState.clear();
  empty.player.clear();
  empty.song = {};
  replays.push_back(empty);
  Replay untitled = SmallGame();
  untitled.song.title.clear();
  untitled.song.path.clear();
  replays.push_back(untitled);

  // Every key at once, both ends of every range, a checksum boundary exactly at the end.
  Replay wide = SmallGame();
  wide.gameVersion = std::string(32, '~');
  wide.gameVersion[0] = ' ';
  wide.player = "ZZZZZZZZZZZZ";
  wide.kind = 1;
  wide.screenMode = 15;
  wide.seed = std::numeric_limits<uint64_t>::max();
  wide.startTime = std::numeric_limits<int64_t>::min();
  wide.finalScore = kMaxScore;
  wide.frames.assign(120, ReplayFrame{});
  wide.frames[0].keys = {~uint64_t{0}, ~uint64_t{0}};
  wide.frames[0].close = true;
  wide.frames[1].keys = {~uint64_t{0}, ~uint64_t{0}};
  wide.frames[1].mouseButtons = 7;
  wide.frames[1].beats = std::numeric_limits<int32_t>::max();
  wide.frames[2].keys[1] = uint64_t{1} << 63;
  wide.checksums = {0, ~uint64_t{0}, 5};
  // The longest title, of four-byte characters, and the longest path, of any bytes but NUL.
  wide.song.title.clear();
  for (int i = 0; i < 32; ++i) wide.song.title += "\xf0\x9f\x8e\xb5";
  wide.song.contentKey = "0123456789abcdef0123456789abcdef";
  wide.song.path.clear();
  for (size_t i = 0; i < kReplayMaxSongPathBytes; ++i)
    wide.song.path += static_cast<char>(1 + i % 255);
  replays.push_back(wide);

  // The largest start state, which deflate cannot shrink.
  Replay state = SmallGame();
  state.startState.resize(kReplayMaxStartStateBytes);
  std::mt19937 random(5);
  for (uint8_t& byte : state.startState) byte = static_cast<uint8_t>(random());
  replays.push_back(state);

  for (const Replay& replay : replays) {
    ASSERT_EQ(ReplayProblem(replay), "");
    std::string why;
    const std::optional<Replay> decoded = Decode(EncodeReplay(replay), why);
    ASSERT_TRUE(decoded) << why;
    EXPECT_TRUE(*decoded == replay);
  }
}

TEST(ReplayFile, RefusesTruncatedDamagedAndForeignBytes) {
  const Replay game = SmallGame();
  const std::string file = EncodeReplay(game);
  std::string why;
  ASSERT_TRUE(Decode(file, why)) << why;

  for (size_t size = 0; size < file.size(); ++size) {
    EXPECT_FALSE(Decode(file.substr(0, size), why)) << size;
    EXPECT_EQ(why, size == 0 ? "not a replay file" : "truncated") << size;
  }
  const size_t deflated = Header(game).deflated() + 4;
  for (size_t at = 0; at < file.size(); ++at) {
    for (const int flip : {0x01, 0x80, 0xff}) {
      std::string damaged = file;
      damaged[at] = static_cast<char>(damaged[at] ^ flip);
      EXPECT_FALSE(Decode(damaged, why)) << at;
      EXPECT_FALSE(why.empty()) << at;
      if (at >= deflated) {
        EXPECT_EQ(why, "damaged (checksum)") << at;
      }
    }
  }

  EXPECT_FALSE(Decode("FWRQ" + file.substr(4), why));
  EXPECT_EQ(why, "not a replay file");
  EXPECT_FALSE(Decode("fenwhit scores 1\n", why));
  EXPECT_EQ(why, "not a replay file");
  EXPECT_FALSE(Decode(Patched(file, 5, 7, 4), why));
  EXPECT_EQ(why, "format version 7, this program reads 1 to 3");
  EXPECT_FALSE(Decode(Patched(file, 5, 0, 4), why));
  EXPECT_EQ(why, "format version 0, this program reads 1 to 3");
  EXPECT_FALSE(Decode(file + '\0', why));
  EXPECT_EQ(why, "trailing bytes");
  std::string huge = file;
  huge.resize(kReplayMaxFileBytes + 1);
  EXPECT_FALSE(Decode(huge, why));
  EXPECT_EQ(why, "too large");
}

TEST(ReplayFile, ReadsFormatsOneAndTwoAndTakesNoCountOnTrust) {
  // Format 2: the same as now but for the song, which it did not hold; format 1 lacks the
  // architecture too. Both read as games played to the game's own music.
  Replay game = SmallGame();
  game.song = {};
  const size_t song = Header(game).song;
  std::string formatTwo = EncodeReplay(game);
  formatTwo.erase(song, 4);  // the three empty song fields
  std::string why;
  const std::optional<Replay> two = Decode(Patched(formatTwo, 5, 2, 4), why);
  ASSERT_TRUE(two) << why;
  EXPECT_TRUE(*two == game);
  // Said to be format 3, its kind is taken for the song and what follows falls apart.
  EXPECT_FALSE(Decode(Patched(formatTwo, 5, 3, 4), why));

  game.architecture.clear();
  std::string formatOne = formatTwo;
  formatOne.erase(song - 8, 8);  // "aarch64" and its length byte
  const std::optional<Replay> one = Decode(Patched(formatOne, 5, 1, 4), why);
  ASSERT_TRUE(one) << why;
  EXPECT_TRUE(*one == game);

  // Six million frames claimed, their checksums all there, one frame in the body.
  EXPECT_FALSE(Decode(testing::ReplayClaimingMostFrames("0.9.0"), why));
  EXPECT_EQ(why, "damaged (frames)");
}

TEST(ReplayFile, RefusesFieldsOutOfRange) {
  const Replay game = SmallGame();
  const std::string file = EncodeReplay(game);
  const Header header(game);
  const size_t playerStart = 9 + 1 + game.gameVersion.size() + 1;
  const struct {
    size_t at;
    uint64_t value;
    int width;
    std::string why;
  } patches[] = {
      {10, '\t', 1, "bad game version"},
      {playerStart, 'b', 1, "bad player name"},
      {header.kind, 2, 4, "bad kind"},
      {header.kind, ~uint64_t{0}, 4, "bad kind"},
      {header.mode(), 16, 4, "bad screen mode"},
      {header.mode(), ~uint64_t{0}, 4, "bad screen mode"},
      {header.score(), ~uint64_t{0}, 8, "bad score"},
      {header.score(), kMaxScore + 1, 8, "bad score"},
      {header.frames(), kReplayMaxFrames + 1, 4, "too many frames"},
      {header.checksums(), 4, 4, "checksum count does not match frame count"},
      {header.checksums(), 2, 4, "checksum count does not match frame count"},
      {header.startState(), kReplayMaxStartStateBytes + 1, 4, "start state too large"},
      // Counts that the body does not bear out.
      {header.frames(), 131, 4, "damaged (frames)"},
      {header.frames(), 129, 4, "damaged (frames)"},
      {header.startState(), 6, 4, "damaged (frames)"},
      {header.body(), (uint64_t{64} << 20) + 1, 4, "damaged (body size)"},
      {header.body(), 0, 4, "damaged (body size)"},
      {header.deflated(), 0, 4, "trailing bytes"},
      {header.song - 7, 0x7f, 1, "bad architecture"},
      // The title "Nachtfalter – Bär", the key, then the path.
      {header.song + 1, 0x07, 1, "bad song title"},
      {header.song + 1 + 12, 0xc0, 1, "bad song title"},
      {header.song + 1 + 18, 'x', 1, "bad song title"},
      {header.song + 1 + 20 + 1 + 31, 'C', 1, "bad song content key"},
      {header.song + 1 + 20 + 1 + 32 + 2 + 5, 0, 1, "bad song path"},
  };
  for (const auto& patch : patches) {
    std::string why;
    EXPECT_FALSE(Decode(Patched(file, patch.at, patch.value, patch.width), why)) << patch.why;
    EXPECT_EQ(why, patch.why);
  }
  std::string why;
  const uint64_t bodySize = static_cast<uint8_t>(file[header.body()]);
  EXPECT_FALSE(Decode(Patched(file, header.body(), bodySize + 1, 1), why));
  EXPECT_EQ(why, "damaged (body)");

  // What the encoder is given goes into the file as it is, and is refused on the way back.
  const std::function<void(Replay&)> faults[] = {
      [](Replay& r) { r.gameVersion.clear(); },
      [](Replay& r) { r.gameVersion = std::string(33, '1'); },
      [](Replay& r) { r.gameVersion = std::string(256, '1'); },
      [](Replay& r) { r.player = "ABCDEFGHIJKLM"; },
      [](Replay& r) { r.architecture = std::string(33, 'x'); },
      [](Replay& r) { r.architecture = "x86\n"; },
      [](Replay& r) { r.kind = 256; },
      [](Replay& r) { r.song.title = std::string(kReplayMaxSongTitleBytes + 1, 'a'); },
      [](Replay& r) { r.song.title = "\xff"; },
      [](Replay& r) { r.song.title = "\xc0\xaf"; },          // overlong
      [](Replay& r) { r.song.title = "\xed\xa0\x80"; },      // a surrogate
      [](Replay& r) { r.song.title = "\xf4\x90\x80\x80"; },  // past U+10FFFF
      [](Replay& r) {
        r.song.title =
            "a\xc2\x85"
            "b";
      },
      [](Replay& r) { r.song.title = "tab\there"; },
      [](Replay& r) { r.song.contentKey.clear(); },
      [](Replay& r) {
        r.song = {"", "", "/music/song.ogg"};
      },
      [](Replay& r) { r.song.contentKey = std::string(32, 'C'); },
      [](Replay& r) { r.song.contentKey.pop_back(); },
      [](Replay& r) { r.song.path = std::string(kReplayMaxSongPathBytes + 1, 'p'); },
      [](Replay& r) { r.song.path = std::string(70'000, 'p'); },
      [](Replay& r) { r.song.path = std::string("a\0b", 3); },
      [](Replay& r) { r.frames[9].mouseButtons = 8; },
      [](Replay& r) { r.frames[9].mouseButtons = -1; },
      [](Replay& r) { r.frames[9].beats = -1; },
      [](Replay& r) { r.checksums.pop_back(); },
      [](Replay& r) { r.frames.resize(180); },
      [](Replay& r) { r.startState.resize(kReplayMaxStartStateBytes + 1); },
  };
  for (const auto& fault : faults) {
    Replay bad = game;
    fault(bad);
    const std::string problem = ReplayProblem(bad);
    EXPECT_NE(problem, "");
    EXPECT_FALSE(Decode(EncodeReplay(bad), why)) << problem;
    EXPECT_EQ(why, problem);
  }
}

// Whatever title and path a song comes with, the replay of its game can be written and read.
TEST(ReplayFile, FitsTheGamesSongToWhatTheFileKeeps) {
  const std::string key(32, 'e');
  const auto fitted = [&](std::string_view title, std::string_view path = "/m/s.ogg") {
    Replay replay = SmallGame();
    replay.song = FitReplaySong(title, key, path);
    std::string why;
    EXPECT_TRUE(Decode(EncodeReplay(replay), why)) << why;
    return replay.song;
  };
  EXPECT_EQ(fitted("Ba\xc3\xb1o \xe2\x99\xab"),
            (ReplaySong{"Ba\xc3\xb1o \xe2\x99\xab", key, "/m/s.ogg"}));
  // Tags in Latin-1, a cut sequence, a surrogate, controls of both kinds.
  EXPECT_EQ(fitted("Caf\xe9 \xe2\x99").title, "Caf? ??");
  EXPECT_EQ(fitted("\xed\xa0\x80x").title, "???x");
  EXPECT_EQ(fitted("a\x1b[2Jb\x7f\xc2\x9b").title, "a?[2Jb???");
  // Cut at the limit, never inside a character.
  const std::string notes = std::string(kReplayMaxSongTitleBytes - 2, 'n') + "\xe2\x99\xab";
  EXPECT_EQ(fitted(notes).title, std::string(kReplayMaxSongTitleBytes - 2, 'n'));
  EXPECT_EQ(fitted(std::string(300, 'z')).title, std::string(kReplayMaxSongTitleBytes, 'z'));
  // A path the file cannot hold is left out; the song is still known by its content.
  EXPECT_EQ(fitted("Far", std::string(kReplayMaxSongPathBytes + 1, 'p')),
            (ReplaySong{"Far", key, ""}));
  // Without a content key there is no song: the game's own music.
  EXPECT_EQ(FitReplaySong("Title", "", "/m/s.ogg"), ReplaySong{});
}

}  // namespace
}  // namespace fenwhit
