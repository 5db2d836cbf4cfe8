#pragma once
// The menu's network screen. N in the menu opens it over the menu, which holds still behind
// it: the player hosts a game or types the address of one to join, and the screen stays
// while the two games find each other. Once they are connected the session is handed on and
// the menu runs again; Esc leaves at any point. Like the pause, it runs as a loop inside
// PumpEvents, drawing only when its picture changes.
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "netplay/net_session.h"
#include "platform/forwarding_platform.h"

namespace fenwhit {

// What the screen shows, in the font's letters.
struct NetScreenView {
  static constexpr int kHost = 0;
  static constexpr int kJoin = 1;
  std::array<std::string, 2> items;
  // The item the keys are on; -1 while hosting or joining.
  int selected = kHost;
  // How it is going, or what went wrong.
  std::vector<std::string> lines;
  bool trouble = false;
  // The keys that do something now.
  std::string hint;

  bool operator==(const NetScreenView&) const = default;
};

// Starts a session over the network, as the player asks for one.
std::unique_ptr<NetSession> StartRealSession(const NetRequest& request, const std::string& player,
                                             std::string& error);

class NetScreenPlatform final : public ForwardingPlatform {
 public:
  using StartSession = std::function<std::unique_ptr<NetSession>(
      const NetRequest& request, const std::string& player, std::string& error)>;

  struct Hooks {
    // Draws and presents one picture of the screen.
    std::function<void(const NetScreenView& view)> draw;
    // Takes the session once the two games are connected.
    std::function<void(std::unique_ptr<NetSession>)> handOver;
    // Told the address of each game the player sets out to join, to remember it.
    std::function<void(const std::string& address)> rememberAddress;
  };

  // address: the one last joined, typed in already. Failures opened from the command line
  // are told on err.
  NetScreenPlatform(Platform& inner, std::string playerName, std::string address, Hooks hooks,
                    std::ostream& err, StartSession start = StartRealSession);

  void PumpEvents() override;
  // Keys the screen took stay hidden from the menu until they are let go.
  bool KeyHeld(int scanCode) const override;
  // Typed text is the screen's alone.
  std::string TakeTypedText() override { return {}; }

  // Opens the screen at the first menu frame, already hosting or joining. From the command
  // line, a failure before a game ends the program with one line on err and status 1.
  void OpenAtStart(NetRequest request, bool fromCommandLine);
  // Opens the screen at the next menu frame, as N does.
  void OpenSoon() { openAsked_ = true; }

  bool Open() const { return open_; }
  const NetScreenView& View() const { return view_; }
  const std::string& Address() const { return address_; }

  // How long the screen sleeps between looks at its keys and the network.
  static constexpr int kPollMs = 16;
  // The picture is drawn when it changes, and this often at the least (a volume bar going).
  static constexpr double kRedrawSeconds = 0.5;
  static constexpr size_t kMaxAddressBytes = 255;
  // Backspace held deletes again after a moment, then steadily.
  static constexpr double kRepeatDelaySeconds = 0.5;
  static constexpr double kRepeatSeconds = 0.05;

 private:
  enum class Phase { kChoosing, kWorking, kFailed };

  void RunScreen(std::optional<NetRequest> request);
  // One look at the keys, the typed text and the session; false once the screen closes.
  bool Step();
  void Draw();
  void FollowKeys();
  void Type(const std::string& typed);
  void DeleteCharacter();
  void Begin(const NetRequest& request);
  void FollowSession();
  void Fail(const std::string& why);
  void Close();
  void MakeView();
  bool Pressed(int scanCode) const;
  void RememberHeldKeys(std::array<bool, scan::kCount>& keys) const;

  std::string playerName_;
  std::string address_;
  Hooks hooks_;
  std::ostream& err_;
  StartSession start_;

  std::optional<NetRequest> pending_;
  bool fromCommandLine_ = false;
  bool open_ = false;
  Phase phase_ = Phase::kChoosing;
  int selected_ = NetScreenView::kHost;
  std::unique_ptr<NetSession> session_;
  NetRequest request_;
  std::string failure_;
  uint64_t keyPressesAtFailure_ = 0;
  double backspaceRepeatAt_ = -1.0;
  bool nWasHeld_ = false;
  bool openAsked_ = false;
  // Keys as held at the last look, for fresh presses; keys held as the screen closed.
  std::array<bool, scan::kCount> wasHeld_{};
  std::array<bool, scan::kCount> hidden_{};
  NetScreenView view_;
  PixelSize drawnSize_;
  double drawnAt_ = 0.0;
};

}  // namespace fenwhit
