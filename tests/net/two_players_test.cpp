// Two real games playing each other over loopback, each its own process with its own
// folders, both steered by their autopilots: whole games that agree, games through a bad
// network, a player who vanishes, a player of another version, a flood of garbage and two
// games that go apart. Skipped while the program has no network play.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <random>
#include <regex>
#include <thread>

#include "keep/player_name.h"
#include "replay/replay_store.h"
#include "support/game_process.h"
#include "support/udp_relay.h"

namespace fenwhit {
namespace {

using Clock = std::chrono::steady_clock;
using testing::GameProcess;
using namespace std::chrono_literals;

// The autopilots steer to miss the ball from the start: whole games of about ten seconds
// after the intro, where they would otherwise last minutes.
const std::string kShortGame = "FENWHIT_TEST_AUTOPLAY_MISS_AFTER=0";
// Both games show their intro for four seconds and then connect: by this time they have
// played for a few seconds.
constexpr auto kIntoTheGame = 10s;
// Time enough for a short game over the slowest network tried here.
constexpr auto kGameDeadline = 90s;
// A game holds about 110 MB resident (the software renderer and its compiled code among it).
constexpr long kMostResidentKilobytes = 300 * 1024;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The lines the game wrote for the player, for the test log.
std::string GameLines(const std::string& text) {
  std::string lines;
  std::regex line("fenwhit: [^\n]*");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator();
       ++it) {
    lines += "\n    " + it->str();
  }
  return lines;
}

class TwoPlayers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GameHelpMentions("--host")) {
      GTEST_SKIP() << "fenwhit --help does not mention --host: this build plays no network "
                      "games yet";
    }
    port_ = testing::FreeUdpPort();
    ASSERT_NE(port_, 0);
  }

  // A new pair of games each time: a new host, then a new guest.
  void StartHost(const std::vector<std::string>& environment = {}) {
    guest_.reset();
    host_.emplace("host");
    host_->Start({"--host", std::to_string(port_), "--autoplay", "--window"}, environment);
    started_ = Clock::now();
  }
  // Joins the host directly, or through whatever listens on `port`.
  void StartGuest(const std::vector<std::string>& environment = {}, uint16_t port = 0) {
    const std::string address = "127.0.0.1:" + std::to_string(port == 0 ? port_ : port);
    guest_.emplace("guest");
    guest_->Start({"--join", address, "--autoplay", "--window"}, environment);
  }

  // Both statuses, -1 for one still running at the deadline; the figures go to the log.
  std::pair<int, int> WaitForBoth(const std::string& what,
                                  std::chrono::seconds within = kGameDeadline) {
    const auto end = Clock::now() + within;
    const auto left = [end] {
      return std::chrono::duration_cast<std::chrono::milliseconds>(
          std::max(end - Clock::now(), Clock::duration(0)));
    };
    const int host = host_->Wait(left()).value_or(-1);
    const double hostSeconds = SecondsSince(started_);
    const int guest = guest_->Wait(left()).value_or(-1);
    std::cout << "[ figures  ] " << what << ": host status " << host << " after " << hostSeconds
              << " s, guest status " << guest << " after " << SecondsSince(started_) << " s"
              << "\n  host said:" << GameLines(host_->Stderr())
              << "\n  guest said:" << GameLines(guest_->Stderr()) << "\n  most resident: host "
              << host_->PeakResidentKilobytes() / 1024 << " MB, guest "
              << guest_->PeakResidentKilobytes() / 1024 << " MB" << std::endl;
    // Frames drawn behind the game must not pile up: a queue without bound grew each game
    // by hundreds of megabytes in a minute under the offscreen driver.
    for (GameProcess* side : {&*host_, &*guest_}) {
      EXPECT_LT(side->PeakResidentKilobytes(), kMostResidentKilobytes) << side->Name();
    }
    return {host, guest};
  }

  // Each side kept the one game, a replay that plays again as recorded and is the same
  // game as the other side's.
  void ExpectTheSameGameKept() {
    std::vector<Replay> games;
    for (GameProcess* side : {&*host_, &*guest_}) {
      SCOPED_TRACE(side->Name());
      const auto replays = side->Replays();
      ASSERT_EQ(replays.size(), 1u) << side->Stderr();
      std::string output;
      EXPECT_EQ(testing::RunGame({"--check-replay", replays[0].string()}, output), 0) << output;
      EXPECT_NE(output.find(": matches, score "), std::string::npos) << output;
      std::string why;
      std::optional<Replay> game = ReadReplayFile(replays[0].string(), why);
      ASSERT_TRUE(game) << why;
      EXPECT_EQ(game->kind, 1);
      games.push_back(std::move(*game));
    }
    EXPECT_EQ(games[0].seed, games[1].seed);
    EXPECT_EQ(games[0].startState, games[1].startState);
    EXPECT_EQ(games[0].finalScore, games[1].finalScore);
    EXPECT_EQ(games[0].frames.size(), games[1].frames.size());
    EXPECT_TRUE(games[0].frames == games[1].frames);
    EXPECT_EQ(games[0].checksums, games[1].checksums);
    std::cout << "[ figures  ] the game: " << games[0].frames.size() << " frames, score "
              << games[0].finalScore << std::endl;
  }

  uint16_t port_ = 0;
  std::optional<GameProcess> host_;
  std::optional<GameProcess> guest_;
  Clock::time_point started_;
};

TEST_F(TwoPlayers, AWholeGameOnLoopbackEndsAlikeOnBothAndBothKeepIt) {
  StartHost({kShortGame});
  StartGuest({kShortGame});
  EXPECT_EQ(WaitForBoth("a game on loopback"), std::make_pair(0, 0));
  ExpectTheSameGameKept();
  // Both tables have the game, under both players' names: here both are this user's.
  const std::string name = PlayerName();
  for (GameProcess* side : {&*host_, &*guest_}) {
    const std::string table = side->ScoresTable();
    std::smatch row;
    ASSERT_TRUE(std::regex_search(table, row, std::regex("\ntwo\t1\t[0-9]+\t([^\t]*)\t")))
        << side->Name() << "\n"
        << table;
    const std::string names = row[1];
    EXPECT_NE(names.find(name.substr(0, 3)), names.rfind(name.substr(0, 3)))
        << side->Name() << ": " << names;
  }
}

// Each network its own test, so that they can run side by side.
class TwoPlayersThroughARelay : public TwoPlayers {
 protected:
  void PlayThrough(const char* what, const testing::RelayConditions& conditions) {
    testing::UdpRelay relay(port_, conditions);
    StartHost({kShortGame});
    StartGuest({kShortGame}, relay.Port());
    EXPECT_EQ(WaitForBoth(what), std::make_pair(0, 0));
    ExpectTheSameGameKept();
    std::cout << "[ figures  ] the relay forwarded " << relay.Forwarded() << ", dropped "
              << relay.Dropped() << ", doubled " << relay.Duplicated() << std::endl;
  }
};

TEST_F(TwoPlayersThroughARelay, FortyMillisecondsEachWayAndOnePercentLost) {
  PlayThrough("40 ms each way, 1 % lost", {.delayMs = 40, .dropRate = 0.01, .seed = 3});
}

TEST_F(TwoPlayersThroughARelay, AHundredMillisecondsFivePercentLostDoubledAndReordered) {
  PlayThrough("100 ms each way, 5 % lost, doubled, reordered", {.delayMs = 100,
                                                                .jitterMs = 10,
                                                                .dropRate = 0.05,
                                                                .duplicateRate = 0.05,
                                                                .reorderRate = 0.05,
                                                                .seed = 4});
}

TEST_F(TwoPlayersThroughARelay, AQuarterSecondEachWay) {
  PlayThrough("250 ms each way", {.delayMs = 250, .seed = 5});
}

// The line of a host whose guest has gone quiet, and the game it played so far kept.
void ExpectTheHostEndedAlone(GameProcess& host, std::optional<int> status, double seconds) {
  EXPECT_EQ(status, 1) << host.Stderr();
  // Ten seconds of silence, then the game's ending and the process's own end, which a loaded
  // machine stretches; well short of what ENet alone would wait.
  EXPECT_LT(seconds, 18.0);
  EXPECT_GT(seconds, 9.0);
  EXPECT_TRUE(
      std::regex_search(host.Stderr(), std::regex("fenwhit: the network game ended: .* has been "
                                                  "silent for 10 s")))
      << host.Stderr();
  const auto replays = host.Replays();
  ASSERT_EQ(replays.size(), 1u);
  std::string output;
  EXPECT_EQ(testing::RunGame({"--check-replay", replays[0].string()}, output), 0) << output;
}

TEST_F(TwoPlayers, AHostWhoseGuestVanishesEndsAfterTenSecondsOfSilence) {
  // Killed: nothing more ever comes.
  StartHost();
  StartGuest();
  std::this_thread::sleep_for(kIntoTheGame);
  ASSERT_TRUE(host_->Running()) << host_->Stderr();
  guest_->Signal(SIGKILL);
  auto killed = Clock::now();
  std::optional<int> status = host_->Wait(20s);
  ExpectTheHostEndedAlone(*host_, status, SecondsSince(killed));
  std::cout << "[ figures  ] the host ended " << SecondsSince(killed) << " s after its guest was "
            << "killed" << GameLines(host_->Stderr()) << std::endl;

  // Stopped for 15 s: the same, and the guest, let go on, finds the host gone and ends.
  port_ = testing::FreeUdpPort();
  StartHost();
  StartGuest();
  std::this_thread::sleep_for(kIntoTheGame);
  ASSERT_TRUE(host_->Running()) << host_->Stderr();
  guest_->Signal(SIGSTOP);
  killed = Clock::now();
  status = host_->Wait(15s);
  const double hostSeconds = SecondsSince(killed);
  std::this_thread::sleep_for(std::max(Clock::duration(0), killed + 15s - Clock::now()));
  guest_->Signal(SIGCONT);
  ExpectTheHostEndedAlone(*host_, status, hostSeconds);
  const std::optional<int> guestStatus = guest_->Wait(15s);
  EXPECT_EQ(guestStatus, 1) << guest_->Stderr();
  EXPECT_NE(guest_->Stderr().find("fenwhit: the network game ended: "), std::string::npos)
      << guest_->Stderr();
  std::cout << "[ figures  ] the host ended " << hostSeconds << " s after its guest stopped; "
            << "the guest ended " << SecondsSince(killed) - 15 << " s after it went on"
            << GameLines(guest_->Stderr()) << std::endl;
}

TEST_F(TwoPlayers, PlayersOfDifferentVersionsAreRefusedBeforeAnyGame) {
  std::string version;
  ASSERT_EQ(testing::RunGame({"--version"}, version), 0);
  version = version.substr(version.rfind(' ') + 1);
  version.erase(version.find_last_not_of("\n") + 1);
  // The version as a pattern: its dots and any other sign taken literally.
  const std::string mine = std::regex_replace(version, std::regex("[^A-Za-z0-9]"), "\\$&");
  StartHost();
  StartGuest({"FENWHIT_TEST_NET_VERSION=0.0.0"});
  EXPECT_EQ(WaitForBoth("another version", 30s), std::make_pair(1, 1));
  for (GameProcess* side : {&*host_, &*guest_}) {
    SCOPED_TRACE(side->Name());
    const std::string said = side->Stderr();
    EXPECT_TRUE(std::regex_search(said, std::regex("fenwhit: [^\n]*(" + mine +
                                                   "[^\n]*0\\.0\\.0|0\\.0\\.0[^\n]*" + mine + ")")))
        << said;
    EXPECT_TRUE(side->Replays().empty());
  }
}

TEST_F(TwoPlayers, AFloodOfGarbageAtAWaitingHostDoesNotKeepItFromPlaying) {
  StartHost({kShortGame});
  // Past its intro, waiting on its port.
  ASSERT_TRUE(testing::UdpPortBoundWithin(port_, 20s)) << host_->Stderr();
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(port_);
  std::mt19937 random(11);
  std::vector<uint8_t> bytes(1500);
  for (int i = 0; i < 5000; ++i) {
    const size_t size = random() % bytes.size();
    for (size_t k = 0; k < size; ++k) bytes[k] = static_cast<uint8_t>(random());
    // Now and then one that begins like a connection: ENet's header, a command byte.
    if (i % 7 == 0 && size > 4) bytes[2] = static_cast<uint8_t>(0x82 + i % 3);
    sendto(fd, bytes.data(), size, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (i % 500 == 0) std::this_thread::sleep_for(10ms);
  }
  close(fd);
  ASSERT_TRUE(host_->Running()) << host_->Stderr();
  StartGuest({kShortGame});
  EXPECT_EQ(WaitForBoth("a game after a flood of garbage"), std::make_pair(0, 0));
  ExpectTheSameGameKept();
}

TEST_F(TwoPlayers, GamesThatGoApartEndOnBothNamingTheFrame) {
  StartHost();
  StartGuest({"FENWHIT_TEST_NET_DESYNC_FRAME=300"});
  EXPECT_EQ(WaitForBoth("games that go apart", 60s), std::make_pair(1, 1));
  for (GameProcess* side : {&*host_, &*guest_}) {
    SCOPED_TRACE(side->Name());
    std::smatch found;
    const std::string said = side->Stderr();
    ASSERT_TRUE(std::regex_search(
        said, found,
        std::regex("fenwhit: the network game ended: the games went apart at frame ([0-9]+)")))
        << said;
    const int frame = std::stoi(found[1]);
    EXPECT_GE(frame, 300);
    EXPECT_LE(frame, 360);
    EXPECT_EQ(side->Replays().size(), 1u);
  }
}

}  // namespace
}  // namespace fenwhit
