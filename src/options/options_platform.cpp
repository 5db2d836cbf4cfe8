#include "options/options_platform.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/display.h"
#include "audio/heard_beats.h"
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "common/calm_flashes.h"
#include "music_choice/music_choice_platform.h"
#include "options/options_layout.h"
#include "platform/screen_poll.h"
#include "settings/settings_platform.h"
#include "ui/main_menu.h"
#include "ui/overlay_text.h"

namespace fenwhit {

namespace {

namespace layout = options_layout;

// The next whole step of the sound delay that way (an offset the calibration set between two
// steps goes to the nearer one that way first), held to the limits.
int NextSoundDelay(int ms, int direction) {
  const double steps = static_cast<double>(ms) / OptionsPlatform::kSoundDelayStepMs;
  const int next = direction > 0 ? static_cast<int>(std::floor(steps)) + 1
                                 : static_cast<int>(std::ceil(steps)) - 1;
  return std::clamp(next * OptionsPlatform::kSoundDelayStepMs, -kAvOffsetLimitMs, kAvOffsetLimitMs);
}

std::string DelayText(int ms) {
  return (ms > 0 ? "+" : "") + std::to_string(ms) + " MS";
}

bool Stepped(OptionsItem item) {
  return item == OptionsItem::kVolume || item == OptionsItem::kSoundDelay;
}

bool Switched(OptionsItem item) {
  return item == OptionsItem::kMusic || item == OptionsItem::kFlashes;
}

// The keys that do something on the row.
std::string HintOn(OptionsItem item) {
  const std::string back = "   ESC: BACK TO THE MENU";
  if (Stepped(item)) return "LEFT, RIGHT: CHANGE" + back;
  if (Switched(item)) return "LEFT, RIGHT OR ENTER: CHANGE" + back;
  if (item == OptionsItem::kCalibrate) return "ENTER OR SPACE: START" + back;
  if (item == OptionsItem::kNetwork) return "ENTER OR SPACE: OPEN" + back;
  return "ENTER OR SPACE: BACK TO THE MENU";
}

}  // namespace

OptionsPlatform::OptionsPlatform(Platform& inner, SettingsPlatform& settings,
                                 MusicChoicePlatform& music, Hooks hooks)
    : ForwardingPlatform(inner), settings_(settings), music_(music), hooks_(std::move(hooks)) {
  MakeView();
}

bool OptionsPlatform::MenuShowing() const {
  // The intro shows no menu frame; a game runs its beat thread until it is left.
  return menu.menuFrames > 0 && !BeatThreadRunning() && !menu.covered;
}

void OptionsPlatform::PumpEvents() {
  inner().PumpEvents();
  // A screen opened from this one pumps through it.
  if (running_) return;
  hidden_.ForgetReleased(inner());
  const MouseState mouse = inner().ReadMouse();
  const bool o = inner().KeyHeld(scan::kO);
  const bool oPressed = o && !oWasHeld_;
  oWasHeld_ = o;
  const bool clicked = (mouse.buttons & 1) != 0 && (buttonsWere_ & 1) == 0;
  buttonsWere_ = mouse.buttons;
  if (MenuShowing() && (oPressed || (clicked && OnFoot(mouse)))) Run();
}

bool OptionsPlatform::KeyHeld(int scanCode) const {
  return !hidden_.Hides(scanCode) && inner().KeyHeld(scanCode);
}

MouseState OptionsPlatform::ReadMouse() {
  MouseState mouse = inner().ReadMouse();
  mouse.buttons = hidden_.Shown(mouse.buttons);
  return mouse;
}

bool OptionsPlatform::OnFoot(const MouseState& mouse) const {
  // The menu's picture is placed by the screen mode's offset.
  layout::PicturePoint at =
      layout::MouseInPicture(mouse, inner().DrawableSize(), screenMode.width, screenMode.height);
  at.x -= screenMode.viewOffsetX;
  at.y -= screenMode.viewOffsetY;
  // A little room around the small letters.
  constexpr int32_t kMargin = 6;
  const auto width = static_cast<int32_t>(layout::kFootText.size()) * layout::kFootLetterAdvance;
  return at.x >= layout::kFootLeft - kMargin && at.x < layout::kFootLeft + width + kMargin &&
         at.y >= layout::kFootCapTop - kMargin &&
         at.y < layout::kFootCapTop + layout::kFootCapHeight + kMargin;
}

void OptionsPlatform::Run() {
  open_ = true;
  running_ = true;
  menu.covered = true;
  then_ = nullptr;
  repeatAt_ = -1.0;
  selected_ = std::clamp(selected_, 0, static_cast<int>(Items().size()) - 1);
  // Keys and buttons held as it opens (O among them) are not presses on the screen.
  RememberHeldKeys(wasHeld_);
  mouseWas_ = inner().ReadMouse();
  buttonsWere_ = mouseWas_.buttons;
  MakeView();
  Draw();
  while (Step()) {
  }
  if (then_) {
    const std::function<void()> then = std::exchange(then_, nullptr);
    then();
  }
  running_ = false;
  // What the other screen left held is no press of O or of the foot.
  oWasHeld_ = inner().KeyHeld(scan::kO);
  buttonsWere_ = inner().ReadMouse().buttons;
}

bool OptionsPlatform::Step() {
  bool redraw = PollScreen(inner(), kPollMs, [this] { Close(); });
  FollowKeys();
  if (open_) FollowMouse();
  RememberHeldKeys(wasHeld_);
  if (!open_) return false;
  const OptionsView shown = view_;
  MakeView();
  redraw = redraw || view_ != shown || inner().DrawableSize() != drawnSize_ ||
           inner().Clock() - drawnAt_ >= kRedrawSeconds;
  if (redraw) Draw();
  return true;
}

void OptionsPlatform::Draw() {
  drawnSize_ = inner().DrawableSize();
  drawnAt_ = inner().Clock();
  if (hooks_.draw) hooks_.draw(view_);
}

bool OptionsPlatform::Pressed(int scanCode) const {
  return inner().KeyHeld(scanCode) && !wasHeld_[scanCode];
}

void OptionsPlatform::RememberHeldKeys(std::array<bool, scan::kCount>& keys) const {
  for (int code = 0; code < scan::kCount; ++code) keys[code] = inner().KeyHeld(code);
}

void OptionsPlatform::FollowKeys() {
  if (Pressed(scan::kEsc)) {
    Close();
    return;
  }
  const bool up = Pressed(scan::kUp) || Pressed(scan::kW) || Pressed(scan::kK);
  const bool down = Pressed(scan::kDown) || Pressed(scan::kS) || Pressed(scan::kM);
  const int was = selected_;
  if (up && !down) selected_ = std::max(selected_ - 1, 0);
  if (down && !up) selected_ = std::min(selected_ + 1, static_cast<int>(Items().size()) - 1);
  if (selected_ != was) {
    PlaySound(sound::kSelect);
    repeatAt_ = -1.0;
    return;
  }
  // Left and Right together change nothing.
  const bool left = inner().KeyHeld(scan::kLeft);
  const bool right = inner().KeyHeld(scan::kRight);
  const double now = inner().Clock();
  if (left == right) {
    repeatAt_ = -1.0;
  } else if (Pressed(left ? scan::kLeft : scan::kRight)) {
    Change(right ? 1 : -1);
    repeatAt_ = now + kRepeatDelaySeconds;
  } else if (Chosen() == OptionsItem::kSoundDelay && repeatAt_ >= 0.0 && now >= repeatAt_) {
    Change(right ? 1 : -1);
    repeatAt_ = now + kRepeatSeconds;
  }
  if (Pressed(scan::kEnter) || Pressed(scan::kSpace)) Act();
}

void OptionsPlatform::FollowMouse() {
  const MouseState mouse = inner().ReadMouse();
  const bool moved = mouse.x != mouseWas_.x || mouse.y != mouseWas_.y;
  const bool clicked = (mouse.buttons & 1) != 0 && (buttonsWere_ & 1) == 0;
  mouseWas_ = mouse;
  buttonsWere_ = mouse.buttons;
  if (!moved && !clicked) return;
  // The screen's picture is centred in the window.
  layout::PicturePoint at =
      layout::MouseInPicture(mouse, inner().DrawableSize(), screenMode.width, screenMode.height);
  at.x -= (screenMode.width - kPictureWidth) / 2;
  at.y -= (screenMode.height - kPictureHeight) / 2;
  const int row = layout::RowAt(at.x, at.y, static_cast<int>(Items().size()));
  if (row < 0) return;
  if (row != selected_) {
    selected_ = row;
    repeatAt_ = -1.0;
    PlaySound(sound::kSelect);
  }
  if (!clicked) return;
  if ((Stepped(Chosen()) || Switched(Chosen())) && at.x >= layout::kValueLeft) {
    Change(at.x < layout::kValueCentreX ? -1 : 1);
  } else {
    Act();
  }
}

void OptionsPlatform::Change(int direction) {
  switch (Chosen()) {
    case OptionsItem::kVolume: {
      const int before = settings_.Volume();
      settings_.StepVolume(direction);
      if (settings_.Volume() == before) return;
      break;
    }
    case OptionsItem::kMusic:
      if (!music_.MusicChosen()) return;
      music_.SwitchMusic();
      break;
    case OptionsItem::kFlashes:
      settings_.RememberFlashes(!settings_.CalmFlashes());
      calmFlashes = settings_.CalmFlashes();
      break;
    case OptionsItem::kSoundDelay: {
      const int before = settings_.AvOffsetMs();
      settings_.RememberAvOffset(NextSoundDelay(before, direction));
      if (settings_.AvOffsetMs() == before) return;
      SetAvOffsetMs(settings_.AvOffsetMs());
      break;
    }
    default:
      return;
  }
  PlaySound(sound::kSelect);
}

void OptionsPlatform::Act() {
  const OptionsItem chosen = Chosen();
  if (Switched(chosen)) {
    Change(1);
    return;
  }
  if (chosen == OptionsItem::kCalibrate) then_ = hooks_.calibrate;
  if (chosen == OptionsItem::kNetwork) then_ = hooks_.network;
  if (chosen == OptionsItem::kCalibrate || chosen == OptionsItem::kNetwork ||
      chosen == OptionsItem::kBack) {
    Close();
  }
}

void OptionsPlatform::Close() {
  open_ = false;
  menu.covered = false;
  repeatAt_ = -1.0;
  // Esc, Enter, Space or a button still down would leave the menu or start a game there.
  hidden_.HideHeld(inner());
  oWasHeld_ = hidden_.Hides(scan::kO);
  buttonsWere_ = inner().ReadMouse().buttons;
  MakeView();
}

std::vector<OptionsItem> OptionsPlatform::Items() const {
  std::vector<OptionsItem> items = {OptionsItem::kVolume, OptionsItem::kMusic,
                                    OptionsItem::kFlashes, OptionsItem::kSoundDelay};
  if (hooks_.calibrate) items.push_back(OptionsItem::kCalibrate);
  if (hooks_.network) items.push_back(OptionsItem::kNetwork);
  items.push_back(OptionsItem::kBack);
  return items;
}

OptionsItem OptionsPlatform::Chosen() const {
  const std::vector<OptionsItem> items = Items();
  return items[std::clamp(selected_, 0, static_cast<int>(items.size()) - 1)];
}

std::string OptionsPlatform::NoteOn(OptionsItem item) const {
  switch (item) {
    case OptionsItem::kVolume:
      return "THE MINUS AND PLUS KEYS SET IT TOO, IN A GAME AS WELL";
    case OptionsItem::kMusic:
      return music_.MusicChosen() ? "TAB IN THE MENU SWITCHES IT TOO"
                                  : "DROP SONGS ON THE MENU TO PLAY TO THEM";
    case OptionsItem::kFlashes:
      return "CALM: SOFT BEAT FLASHES, FOR EYES SENSITIVE TO THEM";
    case OptionsItem::kSoundDelay:
      return "MORE WHEN THE BEAT FLASHES BEFORE YOU HEAR IT";
    case OptionsItem::kCalibrate:
      return "TAP ALONG WITH THE BEAT TO SET THE SOUND DELAY";
    case OptionsItem::kNetwork:
      return "PLAY WITH SOMEONE ON ANOTHER MACHINE";
    case OptionsItem::kBack:
      break;
  }
  return {};
}

void OptionsPlatform::MakeView() {
  OptionsView view;
  for (const OptionsItem item : Items()) {
    OptionsRow row;
    row.item = item;
    switch (item) {
      case OptionsItem::kVolume:
        row.label = "VOLUME";
        row.value = std::to_string(settings_.Volume());
        row.bar = settings_.Volume();
        break;
      case OptionsItem::kMusic:
        row.label = "MUSIC";
        row.value = music_.MusicChosen() && !music_.OwnMusic() ? "YOUR MUSIC" : "THE GAME'S MUSIC";
        break;
      case OptionsItem::kFlashes:
        row.label = "FLASHES";
        row.value = settings_.CalmFlashes() ? "CALM" : "FULL";
        break;
      case OptionsItem::kSoundDelay:
        row.label = "SOUND DELAY";
        row.value = DelayText(settings_.AvOffsetMs());
        break;
      case OptionsItem::kCalibrate:
        row.label = "CALIBRATE";
        break;
      case OptionsItem::kNetwork:
        row.label = "NETWORK GAME";
        break;
      case OptionsItem::kBack:
        row.label = "BACK";
        break;
    }
    view.rows.push_back(std::move(row));
  }
  view.selected = std::clamp(selected_, 0, static_cast<int>(view.rows.size()) - 1);
  view.note = NoteOn(Chosen());
  view.hint = HintOn(Chosen());
  view_ = std::move(view);
}

}  // namespace fenwhit
