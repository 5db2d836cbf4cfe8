// What the two games say to each other: every message comes back as it was sent, inputs stay
// small, and no damaged or hostile datagram is ever taken for a message.
#include "net/net_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "net/rules_digest.h"
#include "replay/game_snapshot.h"
#include "support/game_in_play.h"

namespace fenwhit {
namespace {

constexpr size_t kHeaderBytes = 9;  // "FW", version, kind, length

ReplayFrame Holding(std::initializer_list<int> codes, int32_t buttons = 0, int32_t beats = 0) {
  ReplayFrame frame;
  for (const int code : codes) frame.keys[code / 64] |= uint64_t{1} << (code % 64);
  frame.mouseButtons = buttons;
  frame.beats = beats;
  return frame;
}

NetInputs FullInputs() {
  NetInputs inputs;
  inputs.firstFrame = static_cast<int64_t>(kReplayMaxFrames);
  for (size_t i = 0; i < kNetMaxInputFrames; ++i) {
    ReplayFrame frame = Holding({0, static_cast<int>(i % 128), 127}, static_cast<int32_t>(i % 8),
                                i % 3 == 0 ? kNetMaxFrameBeats : 0);
    frame.close = i == kNetMaxInputFrames - 1;
    inputs.frames.push_back(frame);
  }
  inputs.frames[5].keys = {~uint64_t{0}, ~uint64_t{0}};  // every key at once
  return inputs;
}

std::vector<NetMessage> EveryKindAtItsLimits() {
  NetGameStart start;
  start.screenMode = 15;
  start.seed = ~uint64_t{0};
  start.startState.assign(kReplayMaxStartStateBytes, 0xa5);
  start.inputDelay = 30;
  NetGameStart smallest;
  smallest.screenMode = 0;
  smallest.inputDelay = 1;
  return {
      NetHello{std::string(32, '~'), std::string(64, ' '), "ANN-MARIE_2."},
      NetHello{"0", RulesDigest(), ""},
      NetRefusal{std::string(kNetMaxReasonBytes, 'x')},
      NetRefusal{""},
      start,
      smallest,
      FullInputs(),
      NetInputs{0, {}},
      NetChecksum{static_cast<int64_t>(kReplayMaxFrames), ~uint64_t{0}},
      NetChecksum{0, 0},
      NetPause{true},
      NetPause{false},
      NetGameEnd{"the games went apart at frame 120"},
      NetPing{~uint64_t{0}, true},
      NetPing{0, false},
      NetInputDelay{1},
      NetInputDelay{30},
  };
}

std::vector<uint8_t> Bytes(const NetMessage& message) {
  return EncodeNetMessage(message);
}

void SetBodyLength(std::vector<uint8_t>& bytes) {
  const uint32_t length = static_cast<uint32_t>(bytes.size() - kHeaderBytes);
  for (int i = 0; i < 4; ++i) bytes[5 + i] = static_cast<uint8_t>(length >> (8 * i));
}

TEST(NetMessage, EveryKindComesBackAsSentAtItsLimitsAndEncodesAlike) {
  std::vector<bool> kindsSeen(std::variant_size_v<NetMessage>);
  for (const NetMessage& message : EveryKindAtItsLimits()) {
    const std::vector<uint8_t> bytes = EncodeNetMessage(message);
    EXPECT_EQ(bytes, EncodeNetMessage(message));
    EXPECT_LE(bytes.size(), kNetMaxMessageBytes);
    std::string why;
    const std::optional<NetMessage> decoded = DecodeNetMessage(bytes, why);
    ASSERT_TRUE(decoded) << "kind " << message.index() << ": " << why;
    EXPECT_EQ(*decoded, message) << "kind " << message.index();
    kindsSeen[message.index()] = true;
  }
  EXPECT_EQ(std::count(kindsSeen.begin(), kindsSeen.end(), false), 0);
}

// Four frames of a player holding two keys, one let go on the third: far below 10 kB/s at 60
// messages a second, even with the host's beats in them.
TEST(NetMessage, ATypicalInputsMessageIsSmall) {
  NetInputs inputs{123'456, {Holding({4, 79}, 0, 1), Holding({4, 79}), Holding({4}), Holding({4})}};
  const size_t size = EncodeNetMessage(inputs).size();
  EXPECT_LE(size, 24u);
  EXPECT_LT(size * 60, 10'000u / 4);
  // The guest's, without beats, are smaller still.
  NetInputs guests = inputs;
  for (ReplayFrame& frame : guests.frames) frame.beats = 0;
  EXPECT_LT(EncodeNetMessage(guests).size(), size);
}

// A start state goes out deflated: a real game's, a quarter of a megabyte, in a handful of
// datagrams rather than a couple of hundred that a lossy line would each hold up.
TEST(NetMessage, AGameStartTravelsDeflatedAndComesBackWhole) {
  StartGameInPlay(11);
  NetGameStart start{3, 0x1234'5678'9abc'def0, SaveGameState(), 4};
  ASSERT_GT(start.startState.size(), 100'000u);
  const std::vector<uint8_t> bytes = EncodeNetMessage(start);
  EXPECT_LT(bytes.size(), start.startState.size() / 8);
  std::string why;
  const std::optional<NetMessage> decoded = DecodeNetMessage(bytes, why);
  ASSERT_TRUE(decoded) << why;
  EXPECT_EQ(*decoded, NetMessage(start));
}

TEST(NetMessage, EveryDamagedOrHostileMessageIsRefusedWithAReason) {
  const auto withByte = [](const NetMessage& message, size_t at, uint8_t value) {
    std::vector<uint8_t> bytes = Bytes(message);
    bytes.at(at) = value;
    return bytes;
  };
  const auto appended = [](const NetMessage& message, std::vector<uint8_t> tail, bool fixLength) {
    std::vector<uint8_t> bytes = Bytes(message);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    if (fixLength) SetBodyLength(bytes);
    return bytes;
  };
  // The message without its last `drop` bytes, and some bytes changed.
  const auto cut = [](const NetMessage& message, size_t drop,
                      std::vector<std::pair<size_t, uint8_t>> changes = {}) {
    std::vector<uint8_t> bytes = Bytes(message);
    for (const auto& [at, value] : changes) bytes.at(at) = value;
    bytes.resize(bytes.size() - drop);
    SetBodyLength(bytes);
    return bytes;
  };
  NetGameStart start;
  start.startState = {1, 2, 3};
  // Its body: screen mode, input delay, seed, the state's size, its deflated size, then
  // the deflated bytes.
  const size_t stateSizeAt = kHeaderBytes + 16;
  const size_t deflatedAt = kHeaderBytes + 24;
  const size_t deflatedBytes = Bytes(start).size() - deflatedAt;
  NetGameStart hugeState;
  hugeState.startState.assign(kReplayMaxStartStateBytes + 1, 0);
  NetInputs tooMany;
  tooMany.frames.assign(kNetMaxInputFrames + 1, ReplayFrame{});
  NetInputs oneFrame{7, {Holding({3})}};
  // Body of oneFrame: first 7, count 1, then 0 like-the-last, flags 1 (keys), 1 key, code 3.
  const size_t framesAt = kHeaderBytes + 2;
  NetInputs manyBeats{0, {Holding({}, 0, kNetMaxFrameBeats + 1)}};
  NetInputs badButtons{0, {Holding({}, 8)}};
  NetInputs lateStart{static_cast<int64_t>(kReplayMaxFrames) + 1, {}};
  NetInputs negativeStart{-1, {}};
  const std::vector<uint8_t> hello = Bytes(NetHello{"0.9.0", "digest", "ANN"});

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string why;
  };
  const std::vector<Case> cases = {
      {"nothing", {}, "not a game message"},
      {"one byte", {'F'}, "not a game message"},
      {"other magic", withByte(NetPause{}, 1, 'X'), "not a game message"},
      {"magic only", {'F', 'W'}, "truncated"},
      {"header cut", {hello.begin(), hello.begin() + 8}, "truncated"},
      {"newer version", withByte(NetPause{}, 2, 7), "protocol version 7, this game speaks 1"},
      {"unknown kind", withByte(NetPause{}, 4, 9), "unknown message kind 9"},
      {"kind 255", withByte(NetPause{}, 4, 255), "unknown message kind 255"},
      {"length too long", withByte(NetPause{}, 5, 2), "length does not match"},
      {"length in high byte", withByte(NetPause{}, 8, 1), "length does not match"},
      {"datagram cut", {hello.begin(), hello.end() - 1}, "length does not match"},
      {"bytes after the message", appended(NetPause{}, {0}, false), "length does not match"},
      {"bytes after the body", appended(NetPause{}, {0}, true), "trailing bytes"},
      {"bytes after inputs", appended(oneFrame, {0}, true), "damaged (frames)"},
      {"too large", std::vector<uint8_t>(kNetMaxMessageBytes + 1, 'F'), "not a game message"},
      {"too large, good magic",
       appended(NetPause{}, std::vector<uint8_t>(kNetMaxMessageBytes), true), "too large"},
      {"hello cut", cut(NetHello{"0.9.0", "digest", "ANN"}, 1), "truncated"},
      {"empty version", Bytes(NetHello{"", "digest", ""}), "bad game version"},
      {"long version", Bytes(NetHello{std::string(33, '1'), "digest", ""}), "bad game version"},
      {"control in version", Bytes(NetHello{"0.9\n", "digest", ""}), "bad game version"},
      {"empty digest", Bytes(NetHello{"0.9.0", "", ""}), "bad rules digest"},
      {"long digest", Bytes(NetHello{"0.9.0", std::string(65, 'd'), ""}), "bad rules digest"},
      {"digest with DEL", Bytes(NetHello{"0.9.0", "a\x7f", ""}), "bad rules digest"},
      {"lower-case name", Bytes(NetHello{"0.9.0", "d", "ann"}), "bad player name"},
      {"long name", Bytes(NetHello{"0.9.0", "d", std::string(13, 'A')}), "bad player name"},
      {"escape in refusal", Bytes(NetRefusal{"\x1b[2J"}), "bad reason"},
      {"long refusal", Bytes(NetRefusal{std::string(kNetMaxReasonBytes + 1, 'x')}), "bad reason"},
      {"high byte in end", Bytes(NetGameEnd{"\xc3\xa9"}), "bad reason"},
      {"end cut", cut(NetGameEnd{"bye"}, 1), "truncated"},
      {"screen mode -1", Bytes(NetGameStart{-1, 0, {}, 2}), "bad screen mode"},
      {"screen mode 16", Bytes(NetGameStart{16, 0, {}, 2}), "bad screen mode"},
      {"input delay 0", Bytes(NetGameStart{0, 0, {}, 0}), "bad input delay"},
      {"input delay 31", Bytes(NetGameStart{0, 0, {}, 31}), "bad input delay"},
      {"start state too large", Bytes(hugeState), "start state too large"},
      {"start state cut", cut(start, 1), "truncated"},
      {"start cut in the sizes", cut(start, deflatedBytes + 4 + 1), "truncated"},
      {"bytes after the start state", appended(start, {0}, true), "trailing bytes"},
      // A megabyte claimed from a few deflated bytes is refused before room is made for it.
      {"state size a lie", withByte(start, stateSizeAt + 2, 0x0f), "bad start state size"},
      {"state inflates to more", withByte(start, stateSizeAt, 2), "bad start state"},
      {"state inflates to less", withByte(start, stateSizeAt, 4), "bad start state"},
      {"deflated state damaged", withByte(start, deflatedAt, 0xff), "bad start state"},
      {"first frame too late", Bytes(lateStart), "bad first frame"},
      {"negative first frame", Bytes(negativeStart), "bad first frame"},
      {"too many frames", Bytes(tooMany), "too many frames"},
      {"a frame missing", withByte(oneFrame, kHeaderBytes + 1, 2), "damaged (frames)"},
      {"unknown frame flag", withByte(oneFrame, framesAt + 1, 16), "damaged (frames)"},
      {"no key changed", cut(oneFrame, 1, {{framesAt + 2, 0}}), "damaged (frames)"},
      {"scan code 128", withByte(oneFrame, framesAt + 3, 128), "damaged (frames)"},
      {"inputs cut", cut(oneFrame, 1), "damaged (frames)"},
      {"65 beats", Bytes(manyBeats), "bad beats"},
      {"buttons 8", Bytes(badButtons), "bad mouse buttons"},
      {"negative checksum frame", Bytes(NetChecksum{-60, 1}), "bad checksum frame"},
      {"checksum frame between", Bytes(NetChecksum{61, 1}), "bad checksum frame"},
      {"checksum frame too late",
       Bytes(NetChecksum{static_cast<int64_t>(kReplayMaxFrames) + 60, 1}), "bad checksum frame"},
      {"checksum cut", cut(NetChecksum{60, 1}, 1), "truncated"},
      {"pause 2", withByte(NetPause{}, kHeaderBytes, 2), "bad pause"},
      {"pause empty", cut(NetPause{}, 1), "bad pause"},
      {"ping reply 2", withByte(NetPing{}, kHeaderBytes + 8, 2), "bad ping"},
      {"ping cut", cut(NetPing{}, 2), "truncated"},
      {"delay 0", withByte(NetInputDelay{1}, kHeaderBytes, 0), "bad input delay"},
      {"delay 31", withByte(NetInputDelay{1}, kHeaderBytes, 31), "bad input delay"},
      {"delay cut", cut(NetInputDelay{}, 1), "truncated"},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(DecodeNetMessage(c.bytes, why)) << c.what;
    EXPECT_EQ(why, c.why) << c.what;
  }
}

TEST(RulesDigest, NamesThisBuildShortlyAndMismatchesNameBothBuilds) {
  const std::string digest = RulesDigest();
  EXPECT_LE(digest.size(), 64u);
  // The version, then the architecture, the compiler and the arithmetic.
  const size_t afterVersion = digest.find(' ') + 1;
  EXPECT_GT(afterVersion, 1u) << digest;
  EXPECT_EQ(digest.substr(afterVersion, ThisArchitecture().size() + 1),
            std::string(ThisArchitecture()) + " ")
      << digest;
  EXPECT_TRUE(digest.find(" gcc ") != std::string::npos ||
              digest.find(" clang ") != std::string::npos)
      << digest;
  EXPECT_TRUE(digest.ends_with(" strict-fp")) << digest;
  // The digest travels in a hello.
  std::string why;
  EXPECT_TRUE(DecodeNetMessage(EncodeNetMessage(NetHello{"0.9.0", digest, "ANN"}), why)) << why;

  const NetHello mine{"0.9.0", "0.9.0 x86_64 gcc 12.2.0 strict-fp", "ANN"};
  const NetHello theirs{"0.9.1", "0.9.1 aarch64 clang 15.0.7 strict-fp", "BOB"};
  EXPECT_EQ(DescribeMismatch(mine, theirs),
            "this game is 0.9.0 (x86_64 gcc 12.2.0 strict-fp), the other 0.9.1 (aarch64 clang "
            "15.0.7 strict-fp)");
  // The longest line still travels in a refusal.
  const NetHello longest{std::string(32, 'v'), std::string(64, 'd'), ""};
  const std::string line = DescribeMismatch(longest, longest);
  EXPECT_TRUE(DecodeNetMessage(EncodeNetMessage(NetRefusal{line}), why)) << line.size();
  // A digest that does not begin with its version and a space is shown whole.
  EXPECT_EQ(DescribeMismatch(mine, NetHello{"0.9.0", "0.8.9 x86_64", ""}),
            "this game is 0.9.0 (x86_64 gcc 12.2.0 strict-fp), the other 0.9.0 (0.8.9 x86_64)");
  EXPECT_EQ(DescribeMismatch(NetHello{"0.9", "0.9.1 x86_64", ""}, theirs),
            "this game is 0.9 (0.9.1 x86_64), the other 0.9.1 (aarch64 clang 15.0.7 strict-fp)");
}

}  // namespace
}  // namespace fenwhit
