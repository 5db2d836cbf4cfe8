// The menu's network screen through the real program, against a session made in memory: N
// opens it once however long it is held, but not over another screen; the address is typed,
// edited and remembered; hosting shows where to find this machine however long it waits; a
// failure is shown and the screen stays to try again; Esc leaves without leaving the menu; a
// ready session is handed on and the menu runs again; from the command line a failure ends the
// program with one line.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "audio/music.h"
#include "gfx/overlay_renderer.h"
#include "keep/background_writer.h"
#include "keep/score_file.h"
#include "netplay/net_screen_drawing.h"
#include "netplay/net_screen_platform.h"
#include "scoreboard/scoreboard_platform.h"
#include "support/player_steps.h"
#include "support/program_harness.h"
#include "support/text_drawn.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::Do;
using testing::Hold;
using testing::Idle;
using testing::Player;
using testing::ProgramHarness;
using testing::TextDrawn;
using testing::WaitFor;

class NoChannel final : public NetChannel {
 public:
  void Send(const NetMessage&) override {}
  std::optional<NetMessage> Receive() override { return std::nullopt; }
};

struct FakeNetwork;

// A session whose state the test sets.
class FakeSession final : public NetSession {
 public:
  FakeSession(FakeNetwork& network, NetSessionState start) : state(start), network_(network) {}
  ~FakeSession() override;

  NetChannel& Channel() override { return channel_; }
  void Service(int) override {}
  bool Connected() const override { return state == NetSessionState::kReady; }
  double RoundTripMs() const override { return 20.0; }
  LockstepSide Side() const override { return LockstepSide::kHost; }
  const std::string& PeerName() const override { return peer_; }
  void Update(double nowSeconds) override {
    ++updates;
    lastUpdate = nowSeconds;
  }
  NetSessionState State() const override { return state; }
  const std::string& Failure() const override { return failure; }
  int InputDelay() const override { return 3; }
  uint16_t Port() const override { return 5029; }
  std::vector<std::string> LocalAddresses() const override { return {"192.168.1.20", "10.0.0.7"}; }

  NetSessionState state;
  std::string failure;
  int updates = 0;
  double lastUpdate = 0.0;

 private:
  FakeNetwork& network_;
  NoChannel channel_;
  std::string peer_ = "ANN";
};

struct FakeNetwork {
  std::vector<NetRequest> requests;
  std::vector<std::string> players;
  // The next starts refused at once, with these words.
  std::vector<std::string> refusals;
  // The session in play; null once it is dropped.
  FakeSession* live = nullptr;
  int dropped = 0;
  int32_t menuFramesAtFirstStart = -1;

  NetScreenPlatform::StartSession Starter() {
    return [this](const NetRequest& request, const std::string& player, std::string& error) {
      if (requests.empty()) menuFramesAtFirstStart = menu.menuFrames;
      requests.push_back(request);
      players.push_back(player);
      std::unique_ptr<NetSession> session;
      if (!refusals.empty()) {
        error = refusals.front();
        refusals.erase(refusals.begin());
        return session;
      }
      const NetSessionState state = request.kind == NetRequest::Kind::kHost
                                        ? NetSessionState::kWaitingForPlayer
                                        : NetSessionState::kConnecting;
      auto fake = std::make_unique<FakeSession>(*this, state);
      live = fake.get();
      session = std::move(fake);
      return session;
    };
  }
};

FakeSession::~FakeSession() {
  if (network_.live == this) network_.live = nullptr;
  ++network_.dropped;
}

bool Has(const std::string& text, const std::string& words) {
  return text.find(words) != std::string::npos;
}

// The program with the screen outermost (over the best scores when asked), drawing through
// the screen's own picture. Each pump keeps the text of the picture drawn last and counts the
// screen's openings.
class ScreenRig {
 public:
  explicit ScreenRig(std::string remembered, bool overScores = false)
      : screen(Beneath(overScores), "ZOE", std::move(remembered),
               {[this](const NetScreenView& view) { drawing.Show(view); },
                [this](std::unique_ptr<NetSession> session) { handed = std::move(session); },
                [this](const std::string& address) { rememberedAddresses.push_back(address); }},
               err, network.Starter()) {
    menu.menuIndex = 0;
  }

  int Run(Player& player) {
    return harness.Run(
        [&](TestPlatform& p, int) {
          // The screen draws only when its picture changes.
          if (std::string drawn = TextDrawn(harness.renderer); !drawn.empty()) text = drawn;
          harness.renderer.ClearCalls();
          if (screen.Open() && !wasOpen) ++opens;
          wasOpen = screen.Open();
          player.Act(p);
        },
        screen, frames);
  }

  TestPlatform& Keyboard() { return harness.platform; }
  bool Shows(const std::string& words) const { return Has(text, words); }

  ProgramHarness harness{true};
  FakeNetwork network;
  std::ostringstream err;
  std::unique_ptr<NetSession> handed;
  std::vector<std::string> rememberedAddresses;
  // The text of the picture drawn last, and how often the screen opened.
  std::string text;
  int opens = 0;

 private:
  Platform& Beneath(bool overScores) {
    if (!overScores) return harness.platform;
    return scoreboard_.emplace(harness.platform, scores_, writer_, "ZOE", false, err);
  }

  ScoreFile scores_{""};
  BackgroundWriter writer_;
  std::optional<ScoreboardPlatform> scoreboard_;
  bool wasOpen = false;

 public:
  OverlayRenderer frames{harness.renderer};
  NetScreenDrawing drawing{frames};
  NetScreenPlatform screen;
};

TEST(NetScreen, NOpensItOnceTheAddressIsTypedAndAReadySessionIsHandedOn) {
  // Remembered from last time, with a letter the font has only as Latin-1.
  ScreenRig rig("h\xC3\xB4te");
  const NetScreenPlatform& screen = rig.screen;
  std::vector<std::string> seen;
  int32_t menuFramesAtReady = 0;
  bool gameStarted = false;
  Player player;
  player
      .Then(WaitFor([] { return menu.menuFrames > 3; }))
      // N held on while the screen opens, closes with Esc and stays closed.
      .Then(Do([](TestPlatform& p) { p.Press(scan::kN); }))
      .Then(Idle(3))
      .Then(Do([&](TestPlatform& p) {
        seen.push_back(screen.View().items[1]);
        p.Press(scan::kEsc);
      }))
      .Then(Idle(4))
      .Then(Do([](TestPlatform& p) { p.Release(scan::kEsc); }))
      .Then(Idle(6))
      .Then(Do([&](TestPlatform& p) {
        seen.push_back(screen.Open() ? "open" : "closed");
        p.Release(scan::kN);
      }))
      .Then(Idle(3))
      // N does nothing while another screen covers the menu; asked for, it opens.
      .Then(Do([](TestPlatform&) { menu.covered = true; }))
      .Then(Hold(scan::kN, 4))
      .Then(Do([&](TestPlatform&) {
        seen.push_back(screen.Open() ? "open" : "closed");
        menu.covered = false;
      }))
      .Then(Idle(2))
      .Then(Do([&](TestPlatform&) { rig.screen.OpenSoon(); }))
      .Then(Idle(2))
      // Back over the two-byte letter: all of it goes.
      .Then(Hold(scan::kBackspace, 3))
      .Then(Hold(scan::kBackspace, 3))
      .Then(Hold(scan::kBackspace, 3))
      .Then(Do([&](TestPlatform& p) {
        seen.push_back(screen.Address());
        // What a host name holds is kept; a space, a tab and an accented letter are not.
        p.Type("ost-1.lan \t\xC3\xA9");
      }))
      // K types a k on the address, and does not move up.
      .Then(Do([](TestPlatform& p) {
        p.Press(scan::kK);
        p.Type("k");
      }))
      .Then(Idle(3))
      .Then(Do([](TestPlatform& p) { p.Release(scan::kK); }))
      // Space joins, and is held on until well after the session is handed over.
      .Then(Do([](TestPlatform& p) { p.Press(scan::kSpace); }))
      .Then(Idle(3))
      .Then(Do([&](TestPlatform&) { seen.push_back(rig.text); }))
      .Then(Do([&](TestPlatform&) { rig.network.live->state = NetSessionState::kGreeting; }))
      .Then(Idle(3))
      .Then(Do([&](TestPlatform&) {
        seen.push_back(rig.text);
        rig.network.live->state = NetSessionState::kReady;
      }))
      .Then(WaitFor([&] { return !screen.Open(); }))
      .Then(Do([&](TestPlatform&) { menuFramesAtReady = menu.menuFrames; }))
      .Then([&](TestPlatform&) {
        gameStarted = gameStarted || BeatThreadRunning();
        return menu.menuFrames >= menuFramesAtReady + 30;
      })
      .Then(Do([](TestPlatform& p) { p.Release(scan::kSpace); }))
      .Then(Idle(3))
      .Then(Do([](TestPlatform& p) { p.Press(scan::kEsc); }));

  EXPECT_EQ(rig.Run(player), 0);
  ASSERT_TRUE(player.Finished()) << "stuck at step " << player.StepsDone();
  EXPECT_EQ(rig.opens, 2);
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0], "JOIN: H\xD4TE_");
  EXPECT_EQ(seen[1], "closed");
  EXPECT_EQ(seen[2], "closed");
  EXPECT_EQ(seen[3], "h");
  EXPECT_TRUE(Has(seen[4], "CONNECTING TO HOST-1.LANK")) << seen[4];
  EXPECT_TRUE(Has(seen[5], "CONNECTED: SAYING HELLO")) << seen[5];
  ASSERT_EQ(rig.network.requests.size(), 1u);
  EXPECT_EQ(rig.network.requests[0].kind, NetRequest::Kind::kJoin);
  EXPECT_EQ(rig.network.requests[0].address, "host-1.lank");
  EXPECT_EQ(rig.network.players, std::vector<std::string>{"ZOE"});
  EXPECT_EQ(rig.rememberedAddresses, std::vector<std::string>{"host-1.lank"});
  // The session itself, alive, in the menu's hands; the menu ran on and Space started nothing.
  ASSERT_NE(rig.handed, nullptr);
  EXPECT_EQ(rig.handed.get(), rig.network.live);
  EXPECT_EQ(rig.network.dropped, 0);
  EXPECT_FALSE(gameStarted);
  EXPECT_FALSE(rig.Keyboard().TextInputOn());
}

// Hosting waits as long as it takes, drawing where to find this machine, without spinning
// the processor, and the best-score tables never take over its keys. Esc leaves the screen
// and drops the session; it leaves the menu only when pressed again.
TEST(NetScreen, HostingWaitsShowsTheAddressesAndEscLeavesOnlyTheScreen) {
  ScreenRig rig("", true);
  const NetScreenPlatform& screen = rig.screen;
  std::vector<int> selected;
  std::vector<size_t> lengths;
  const auto noteSelected = [&] {
    return Do([&](TestPlatform&) { selected.push_back(screen.View().selected); });
  };
  std::string waiting;
  long sleptBefore = 0;
  double clockBefore = 0.0;
  int updatesBefore = 0;
  int picturesBefore = 0;
  int pictures = 0;
  long slept = 0;
  double waited = 0.0;
  int updates = 0;
  bool openAfterEsc = true;
  Player player;
  player.Then(WaitFor([] { return menu.menuFrames > 3; }))
      .Then(Hold(scan::kN, 2))
      .Then(noteSelected())
      // Down and Up by the arrows and by the letters; the letters only off the address.
      .Then(Hold(scan::kS, 3))
      .Then(noteSelected())
      .Then(Hold(scan::kW, 3))
      .Then(noteSelected())
      // A flood of typing stops at the field's length; Backspace held deletes on and on.
      .Then(Do([&](TestPlatform& p) { p.Type(std::string(300, 'x')); }))
      .Then(Do([&](TestPlatform&) { lengths.push_back(screen.Address().size()); }))
      .Then(Hold(scan::kBackspace, 60))
      .Then(Do([&](TestPlatform&) { lengths.push_back(screen.Address().size()); }))
      .Then(Hold(scan::kUp, 3))
      .Then(noteSelected())
      .Then(Hold(scan::kM, 3))
      .Then(Hold(scan::kUp, 3))
      .Then(noteSelected())
      .Then(Hold(scan::kEnter, 3))
      .Then(Idle(2))
      .Then(Do([&](TestPlatform& p) {
        waiting = rig.text;
        sleptBefore = p.SleptMs();
        clockBefore = p.Now();
        updatesBefore = rig.network.live->updates;
        picturesBefore = rig.harness.renderer.Presented();
      }))
      // Longer than the menu stands untouched before it shows the tables.
      .Then(Idle(1500))
      .Then(Do([&](TestPlatform& p) {
        slept = p.SleptMs() - sleptBefore;
        waited = p.Now() - clockBefore;
        updates = rig.network.live->updates - updatesBefore;
        pictures = rig.harness.renderer.Presented() - picturesBefore;
        EXPECT_NEAR(rig.network.live->lastUpdate, p.Now(), 0.05);
        p.Press(scan::kEsc);
      }))
      .Then(Do([&](TestPlatform&) { openAfterEsc = screen.Open(); }))
      .Then(Idle(20))
      .Then(Do([](TestPlatform& p) { p.Release(scan::kEsc); }))
      .Then(Idle(20))
      .Then(Hold(scan::kEsc, 2))
      .Then(Idle(20));

  EXPECT_EQ(rig.Run(player), 0);
  // Ended by the second Esc, not the first.
  EXPECT_EQ(player.StepsDone(), 25u);
  EXPECT_EQ(selected, (std::vector<int>{0, 1, 1, 0, 0}));
  ASSERT_EQ(lengths.size(), 2u);
  EXPECT_EQ(lengths[0], NetScreenPlatform::kMaxAddressBytes);
  // About a second held: one at once, then one every twentieth after half a second.
  EXPECT_GE(lengths[0] - lengths[1], 8u);
  EXPECT_LE(lengths[0] - lengths[1], 14u);
  ASSERT_EQ(rig.network.requests.size(), 1u);
  EXPECT_EQ(rig.network.requests[0].kind, NetRequest::Kind::kHost);
  EXPECT_EQ(rig.network.requests[0].port, 0);
  EXPECT_TRUE(rig.rememberedAddresses.empty());
  for (const char* words : {"WAITING FOR A PLAYER", "THIS MACHINE: 192.168.1.20",
                            "THIS MACHINE: 10.0.0.7", "PORT 5029", "ESC: GIVE UP"}) {
    EXPECT_TRUE(Has(waiting, words)) << words << " not in " << waiting;
  }
  // Every look sleeps most of its time, and steps the session once.
  EXPECT_GE(updates, 1500);
  EXPECT_LE(updates, 1502);
  EXPECT_GE(slept, 1500L * NetScreenPlatform::kPollMs);
  EXPECT_GT(waited, 20.0);
  // A picture that does not change is drawn again only now and then.
  EXPECT_GE(pictures, 40);
  EXPECT_LE(pictures, 60);
  EXPECT_FALSE(openAfterEsc);
  EXPECT_EQ(rig.network.dropped, 1);
  EXPECT_EQ(rig.network.live, nullptr);
}

// A session that cannot start and one that fails later: each says why on the screen until a
// key is pressed, and the screen stays to try again. Closing the window ends the program.
TEST(NetScreen, AFailureIsShownUntilAKeyAndTheScreenStaysToTryAgain) {
  ScreenRig rig("");
  const NetScreenPlatform& screen = rig.screen;
  rig.network.refusals = {"port 5029 is in use"};
  std::vector<std::string> shown;
  bool stillShownAfterLettingGo = false;
  bool openAtClose = false;
  const auto note = [&] { return Do([&](TestPlatform&) { shown.push_back(rig.text); }); };
  Player player;
  player.Then(WaitFor([] { return menu.menuFrames > 3; }))
      .Then(Hold(scan::kN, 2))
      .Then(Hold(scan::kSpace, 3))
      .Then(Idle(30))
      .Then(Do([&](TestPlatform&) {
        stillShownAfterLettingGo = screen.Open() && screen.View().trouble;
      }))
      .Then(note())
      .Then(Hold(scan::kA, 2))
      .Then(Idle(2))
      .Then(note())
      .Then(Hold(scan::kSpace, 3))
      .Then(Do([&](TestPlatform&) {
        rig.network.live->failure = "Nobody answered in 10 s";
        rig.network.live->state = NetSessionState::kFailed;
      }))
      .Then(Idle(3))
      .Then(note())
      // Enter on an empty address says what is missing.
      .Then(Do([](TestPlatform& p) { p.PressOtherKey(); }))
      .Then(Idle(2))
      .Then(Hold(scan::kDown, 2))
      .Then(Hold(scan::kEnter, 2))
      .Then(Idle(2))
      .Then(note())
      .Then(Do([&](TestPlatform& p) {
        openAtClose = screen.Open();
        p.RequestClose();
      }))
      .Then(Idle(1000));

  EXPECT_EQ(rig.Run(player), 0);
  EXPECT_EQ(player.StepsDone(), 20u) << "the window's close went unheard";
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_TRUE(Has(shown[0], "PORT 5029 IS IN USE")) << shown[0];
  EXPECT_TRUE(Has(shown[0], "A KEY: TRY AGAIN")) << shown[0];
  EXPECT_TRUE(stillShownAfterLettingGo);
  EXPECT_FALSE(Has(shown[1], "IN USE")) << shown[1];
  EXPECT_TRUE(Has(shown[1], "HOST A GAME")) << shown[1];
  EXPECT_TRUE(Has(shown[2], "NOBODY ANSWERED IN 10 S")) << shown[2];
  EXPECT_TRUE(Has(shown[3], "TYPE THE ADDRESS OF THE GAME TO JOIN")) << shown[3];
  EXPECT_EQ(rig.network.requests.size(), 2u);
  EXPECT_EQ(rig.network.dropped, 1);
  EXPECT_TRUE(openAtClose);
  EXPECT_EQ(rig.err.str(), "");
}

// From the command line the screen opens at the menu's first frame already at work; a
// failure before a game ends the program with status 1 and one line, whether the session
// could not start or failed later. Esc there goes back to the menu, where a failure is shown
// as any other.
TEST(NetScreen, FromTheCommandLineAFailureEndsTheProgramWithOneLine) {
  {
    ScreenRig rig("");
    rig.screen.OpenAtStart({NetRequest::Kind::kJoin, 0, "nowhere.invalid:6000"}, true);
    Player player;
    player.Then(Idle(20)).Then(Do([&](TestPlatform&) {
      rig.network.live->failure = "no such host: nowhere.invalid\x1b[2J";
      rig.network.live->state = NetSessionState::kFailed;
    }));
    EXPECT_EQ(rig.Run(player), 1);
    EXPECT_EQ(rig.err.str(), "fenwhit: no such host: nowhere.invalid?[2J\n");
    EXPECT_EQ(rig.network.menuFramesAtFirstStart, 0);
    EXPECT_EQ(rig.rememberedAddresses, std::vector<std::string>{"nowhere.invalid:6000"});
    EXPECT_LT(rig.Keyboard().Pumps(), 100);
  }
  {
    ScreenRig rig("");
    rig.network.refusals = {"port 5029 is in use"};
    rig.screen.OpenAtStart({NetRequest::Kind::kHost, 5029, {}}, true);
    Player player;
    EXPECT_EQ(rig.Run(player), 1);
    EXPECT_EQ(rig.err.str(), "fenwhit: port 5029 is in use\n");
    ASSERT_EQ(rig.network.requests.size(), 1u);
    EXPECT_EQ(rig.network.requests[0].port, 5029);
  }
  {
    ScreenRig rig("");
    rig.screen.OpenAtStart({NetRequest::Kind::kHost, 0, {}}, true);
    bool failureShown = false;
    Player player;
    player.Then(Idle(5))
        .Then(Hold(scan::kEsc, 3))
        .Then(WaitFor([] { return menu.menuFrames > 20; }))
        .Then(Do([&](TestPlatform&) { rig.network.refusals = {"port 5029 is in use"}; }))
        .Then(Hold(scan::kN, 2))
        .Then(Hold(scan::kSpace, 2))
        .Then(Idle(5))
        .Then(Do([&](TestPlatform& p) {
          failureShown = rig.screen.View().trouble;
          p.RequestClose();
        }));
    EXPECT_EQ(rig.Run(player), 0);
    EXPECT_TRUE(player.Finished());
    EXPECT_TRUE(failureShown);
    EXPECT_EQ(rig.network.requests.size(), 2u);
    EXPECT_EQ(rig.err.str(), "");
  }
}

}  // namespace
}  // namespace fenwhit
