#include "netplay/net_screen_platform.h"

#include <utility>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "common/utf8_text.h"
#include "platform/exit.h"
#include "platform/screen_poll.h"
#include "ui/main_menu.h"
#include "ui/menu_letters.h"

namespace fenwhit {

std::unique_ptr<NetSession> StartRealSession(const NetRequest& request, const std::string& player,
                                             std::string& error) {
  return NetSession::Start(request, player, error);
}

namespace {

// The end of a long address is what the player is typing.
constexpr size_t kAddressLettersShown = 32;
constexpr size_t kLineLetters = 160;
constexpr size_t kAddressesShown = 4;

// Only what a host name or an address is made of: printable ASCII, and no space (Space
// chooses, as in the menu).
bool AddressByte(char c) {
  return c > ' ' && c <= '~';
}

// A line from the network printed on a terminal: no control bytes.
std::string Printable(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) c = '?';
  }
  return text;
}

}  // namespace

NetScreenPlatform::NetScreenPlatform(Platform& inner, std::string playerName, std::string address,
                                     Hooks hooks, std::ostream& err, StartSession start)
    : ForwardingPlatform(inner),
      playerName_(std::move(playerName)),
      address_(std::move(address)),
      hooks_(std::move(hooks)),
      err_(err),
      start_(std::move(start)) {
  // The settings file is edited by hand at times: what the field could not hold starts it empty.
  if (address_.size() > kMaxAddressBytes || !IsShownUtf8(address_)) address_.clear();
  MakeView();
}

void NetScreenPlatform::OpenAtStart(NetRequest request, bool fromCommandLine) {
  pending_ = std::move(request);
  fromCommandLine_ = fromCommandLine;
}

void NetScreenPlatform::PumpEvents() {
  inner().PumpEvents();
  for (int code = 1; code < scan::kCount; ++code) {
    if (hidden_[code] && !inner().KeyHeld(code)) hidden_[code] = false;
  }
  const bool n = inner().KeyHeld(scan::kN);
  const bool nPressed = n && !nWasHeld_;
  nWasHeld_ = n;
  // The screen belongs to the menu: a game runs its beat thread until it is left, and another
  // screen over the menu (the options) has the keys while it is open.
  if (BeatThreadRunning()) return;
  if (pending_) {
    const NetRequest request = std::move(*pending_);
    pending_.reset();
    RunScreen(request);
  } else if ((nPressed || openAsked_) && menu.menuFrames > 0 && !menu.covered) {
    openAsked_ = false;
    RunScreen(std::nullopt);
  }
}

bool NetScreenPlatform::KeyHeld(int scanCode) const {
  if (scanCode > 0 && scanCode < scan::kCount && hidden_[scanCode]) return false;
  return inner().KeyHeld(scanCode);
}

void NetScreenPlatform::RunScreen(std::optional<NetRequest> request) {
  open_ = true;
  menu.covered = true;
  phase_ = Phase::kChoosing;
  failure_.clear();
  selected_ = address_.empty() ? NetScreenView::kHost : NetScreenView::kJoin;
  backspaceRepeatAt_ = -1.0;
  // Keys held as it opens (N among them) are not presses on the screen.
  RememberHeldKeys(wasHeld_);
  inner().SetTextInput(true);
  if (request) Begin(*request);
  if (!open_) return;
  MakeView();
  Draw();
  while (Step()) {
  }
}

void NetScreenPlatform::Draw() {
  drawnSize_ = inner().DrawableSize();
  drawnAt_ = inner().Clock();
  if (hooks_.draw) hooks_.draw(view_);
}

bool NetScreenPlatform::Step() {
  bool redraw = PollScreen(inner(), kPollMs, [this] { Close(); });
  FollowKeys();
  FollowSession();
  // A key that changed may have changed what else is drawn (the volume bar).
  const std::array<bool, scan::kCount> before = wasHeld_;
  RememberHeldKeys(wasHeld_);
  if (!open_) return false;
  const NetScreenView shown = view_;
  MakeView();
  redraw = redraw || view_ != shown || wasHeld_ != before || inner().DrawableSize() != drawnSize_ ||
           inner().Clock() - drawnAt_ >= kRedrawSeconds;
  if (redraw) Draw();
  return true;
}

bool NetScreenPlatform::Pressed(int scanCode) const {
  return inner().KeyHeld(scanCode) && !wasHeld_[scanCode];
}

void NetScreenPlatform::RememberHeldKeys(std::array<bool, scan::kCount>& keys) const {
  for (int code = 0; code < scan::kCount; ++code) keys[code] = inner().KeyHeld(code);
}

void NetScreenPlatform::FollowKeys() {
  const std::string typed = inner().TakeTypedText();
  if (Pressed(scan::kEsc)) {
    Close();
    return;
  }
  if (phase_ == Phase::kWorking) return;
  if (phase_ == Phase::kFailed) {
    bool pressed = inner().KeyPresses() != keyPressesAtFailure_;
    for (int code = 1; code < scan::kCount && !pressed; ++code) pressed = Pressed(code);
    // The key that takes the word away does nothing else.
    if (pressed) {
      phase_ = Phase::kChoosing;
      failure_.clear();
    }
    return;
  }
  // On the address, the letters among the choosing keys are typed.
  const bool onJoin = selected_ == NetScreenView::kJoin;
  if (onJoin) {
    Type(typed);
    const double now = inner().Clock();
    if (!inner().KeyHeld(scan::kBackspace)) {
      backspaceRepeatAt_ = -1.0;
    } else if (!wasHeld_[scan::kBackspace]) {
      DeleteCharacter();
      backspaceRepeatAt_ = now + kRepeatDelaySeconds;
    } else if (backspaceRepeatAt_ >= 0.0 && now >= backspaceRepeatAt_) {
      DeleteCharacter();
      backspaceRepeatAt_ = now + kRepeatSeconds;
    }
  }
  const bool up = Pressed(scan::kUp) || (!onJoin && (Pressed(scan::kW) || Pressed(scan::kK)));
  const bool down = Pressed(scan::kDown) || (!onJoin && (Pressed(scan::kS) || Pressed(scan::kM)));
  const int was = selected_;
  if (up) selected_ = NetScreenView::kHost;
  if (down) selected_ = NetScreenView::kJoin;
  if (selected_ != was) PlaySound(sound::kSelect);
  if (selected_ != was || !(Pressed(scan::kEnter) || Pressed(scan::kSpace))) return;
  if (selected_ == NetScreenView::kHost) {
    Begin({NetRequest::Kind::kHost, 0, {}});
  } else if (address_.empty()) {
    Fail("type the address of the game to join");
  } else {
    Begin({NetRequest::Kind::kJoin, 0, address_});
  }
}

void NetScreenPlatform::Type(const std::string& typed) {
  for (const char c : typed) {
    if (AddressByte(c) && address_.size() < kMaxAddressBytes) address_ += c;
  }
}

void NetScreenPlatform::DeleteCharacter() {
  if (address_.empty()) return;
  // Back over the continuation bytes to the character's first byte; a stray continuation
  // byte goes alone.
  size_t start = address_.size() - 1;
  while (start > 0 && address_.size() - start < 4 &&
         (static_cast<unsigned char>(address_[start]) & 0xC0) == 0x80) {
    --start;
  }
  if (static_cast<unsigned char>(address_[start]) < 0xC0) {
    start = address_.size() - 1;
  }
  address_.erase(start);
}

void NetScreenPlatform::Begin(const NetRequest& request) {
  request_ = request;
  if (request.kind == NetRequest::Kind::kJoin) {
    if (request.address.size() <= kMaxAddressBytes && IsShownUtf8(request.address)) {
      address_ = request.address;
    }
    if (hooks_.rememberAddress) hooks_.rememberAddress(request.address);
  }
  std::string error;
  session_ = start_(request, playerName_, error);
  if (!session_) {
    Fail(error.empty() ? "the network game could not start" : error);
    return;
  }
  phase_ = Phase::kWorking;
}

void NetScreenPlatform::FollowSession() {
  if (phase_ != Phase::kWorking || !session_) return;
  session_->Update(inner().Clock());
  switch (session_->State()) {
    case NetSessionState::kReady: {
      std::unique_ptr<NetSession> ready = std::move(session_);
      Close();
      if (hooks_.handOver) hooks_.handOver(std::move(ready));
      return;
    }
    case NetSessionState::kFailed: {
      const std::string why = session_->Failure();
      session_.reset();
      Fail(why.empty() ? "the network game failed" : why);
      return;
    }
    default:
      return;
  }
}

void NetScreenPlatform::Fail(const std::string& why) {
  if (fromCommandLine_) {
    err_ << "fenwhit: " << Printable(why) << '\n';
    err_.flush();
    Close();
    ExitProgram(1);
  }
  session_.reset();
  phase_ = Phase::kFailed;
  failure_ = why;
  keyPressesAtFailure_ = inner().KeyPresses();
}

void NetScreenPlatform::Close() {
  session_.reset();
  open_ = false;
  fromCommandLine_ = false;
  phase_ = Phase::kChoosing;
  failure_.clear();
  menu.covered = false;
  inner().SetTextInput(false);
  // Esc, Enter or Space still down would leave the menu or start a game there.
  RememberHeldKeys(hidden_);
  nWasHeld_ = hidden_[scan::kN];
  MakeView();
}

void NetScreenPlatform::MakeView() {
  NetScreenView view;
  const bool choosing = open_ && phase_ == Phase::kChoosing;
  std::string address = MenuLetters(address_, kMaxAddressBytes);
  if (address.size() > kAddressLettersShown) {
    address = "..." + address.substr(address.size() - (kAddressLettersShown - 3));
  }
  const bool typing = choosing && selected_ == NetScreenView::kJoin;
  view.items = {"HOST A GAME", "JOIN: " + address + (typing ? "_" : "")};
  view.selected = choosing ? selected_ : -1;
  const bool hosting = request_.kind == NetRequest::Kind::kHost;
  switch (phase_) {
    case Phase::kChoosing:
      if (typing) view.lines.emplace_back("TYPE THE ADDRESS OF THE GAME TO JOIN");
      view.hint = typing ? "ENTER: JOIN   ESC: BACK TO THE MENU"
                         : "ENTER OR SPACE: HOST   ESC: BACK TO THE MENU";
      break;
    case Phase::kWorking: {
      const NetSessionState state = session_ ? session_->State() : NetSessionState::kConnecting;
      if (state == NetSessionState::kGreeting) {
        view.lines.emplace_back(hosting ? "A PLAYER CAME: SAYING HELLO"
                                        : "CONNECTED: SAYING HELLO");
      } else if (hosting && session_) {
        view.lines.emplace_back("WAITING FOR A PLAYER");
        const std::vector<std::string> addresses = session_->LocalAddresses();
        for (size_t i = 0; i < addresses.size() && i < kAddressesShown; ++i) {
          view.lines.push_back("THIS MACHINE: " + MenuLetters(addresses[i], kLineLetters));
        }
        view.lines.push_back("PORT " + std::to_string(session_->Port()));
      } else {
        view.lines.push_back("CONNECTING TO " + MenuLetters(request_.address, kLineLetters));
      }
      view.hint = "ESC: GIVE UP";
      break;
    }
    case Phase::kFailed:
      view.lines.push_back(MenuLetters(failure_, kLineLetters));
      view.trouble = true;
      view.hint = "A KEY: TRY AGAIN   ESC: BACK TO THE MENU";
      break;
  }
  view_ = std::move(view);
}

}  // namespace fenwhit
