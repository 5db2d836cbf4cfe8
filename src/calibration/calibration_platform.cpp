#include "calibration/calibration_platform.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "audio/heard_beats.h"
#include "audio/music.h"
#include "audio/sound_device.h"
#include "audio/sound_ids.h"
#include "platform/screen_poll.h"
#include "ui/main_menu.h"

namespace fenwhit {

CalibrationPlatform::CalibrationPlatform(Platform& inner, SoundDevice& sound, Hooks hooks)
    : ForwardingPlatform(inner), sound_(sound), hooks_(std::move(hooks)) {}

void CalibrationPlatform::PumpEvents() {
  inner().PumpEvents();
  hidden_.ForgetReleased(inner());
  const bool c = inner().KeyHeld(scan::kC);
  const bool cPressed = c && !cWasHeld_;
  cWasHeld_ = c;
  // The screen belongs to the menu: a game's beat would play over the track.
  if (cPressed && menu.menuFrames > 0 && !menu.covered && !BeatThreadRunning()) Open();
}

bool CalibrationPlatform::KeyHeld(int scanCode) const {
  return !hidden_.Hides(scanCode) && inner().KeyHeld(scanCode);
}

MouseState CalibrationPlatform::ReadMouse() {
  MouseState mouse = inner().ReadMouse();
  mouse.buttons = hidden_.Shown(mouse.buttons);
  return mouse;
}

void CalibrationPlatform::Open() {
  open_ = true;
  // Opened from another screen over the menu, that one still covers it afterwards.
  coveredBefore_ = menu.covered;
  menu.covered = true;
  phase_ = Phase::kListening;
  presses_ = KickPresses();
  result_.clear();
  trouble_ = false;
  // Keys held as it opens (C among them) are not presses on the screen.
  RememberHeld(wasHeld_, buttonsWereHeld_);
  // The kick alone, so nothing hides it.
  sound_.SetVolume(sound::kTitleMusicChannel, 0);
  track_ = hooks_.beatTrackPath ? sound_.OpenStream(hooks_.beatTrackPath()) : 0;
  sound_.PlayStream(sound::kBeatChannel, track_);
  if (track_ == 0 || sound_.StreamSecondsPlayed(track_) < 0.0) {
    phase_ = Phase::kDone;
    StopTrack();
    result_ = "THE BEAT TRACK CANNOT BE PLAYED AND TIMED HERE";
    trouble_ = true;
  }
  MakeView();
  Draw();
  while (Step()) {
  }
}

double CalibrationPlatform::HeardSeconds() {
  const double played = sound_.StreamSecondsPlayed(track_);
  return played - HeardDelayMs(sound_.StreamLatencyMs(track_), AvOffsetMs()) / 1000.0;
}

bool CalibrationPlatform::Step() {
  bool redraw = PollScreen(inner(), kPollMs, [this] { Close(); });
  // Timed as soon as it is seen.
  const double heard = phase_ == Phase::kDone ? 0.0 : HeardSeconds();
  if (Pressed(scan::kEsc) || (phase_ == Phase::kDone && TapPressed())) {
    Close();
    return false;
  }
  if (phase_ != Phase::kDone) {
    if (TapPressed()) presses_.Press(heard);
    if (presses_.Over(heard)) {
      Finish();
    } else if (presses_.Pressing(heard)) {
      phase_ = Phase::kPressing;
    }
  }
  RememberHeld(wasHeld_, buttonsWereHeld_);
  const CalibrationView shown = view_;
  MakeView();
  redraw = redraw || view_ != shown || inner().Clock() - drawnAt_ >= kRedrawSeconds;
  if (redraw) Draw();
  return true;
}

void CalibrationPlatform::Finish() {
  phase_ = Phase::kDone;
  StopTrack();
  const std::optional<int> late = presses_.LateByMs();
  if (!late) {
    char text[96];
    std::snprintf(text, sizeof text, "ONLY %d PRESSES ON THE KICK: NOTHING SAVED",
                  presses_.Presses());
    result_ = text;
    trouble_ = true;
    return;
  }
  const int offset = std::clamp(AvOffsetMs() + *late, -kAvOffsetLimitMs, kAvOffsetLimitMs);
  SetAvOffsetMs(offset);
  if (hooks_.remember) hooks_.remember(offset);
  char text[64];
  std::snprintf(text, sizeof text, "SOUND OFFSET SAVED: %+d MS", offset);
  result_ = text;
}

void CalibrationPlatform::StopTrack() {
  if (track_ == 0) return;
  sound_.StopStream(track_);
  sound_.CloseStream(track_);
  track_ = 0;
}

void CalibrationPlatform::Close() {
  StopTrack();
  sound_.SetVolume(sound::kTitleMusicChannel, menuVolume.load(std::memory_order_relaxed));
  open_ = false;
  menu.covered = coveredBefore_;
  // Esc, Space or a button still down would leave the menu or start a game there.
  hidden_.HideHeld(inner());
  cWasHeld_ = hidden_.Hides(scan::kC);
}

void CalibrationPlatform::MakeView() {
  CalibrationView view;
  view.heading = "SOUND TIMING";
  switch (phase_) {
    case Phase::kListening:
      view.line = "LISTEN TO THE KICK";
      view.hint = "ESC: LEAVE";
      break;
    case Phase::kPressing: {
      char text[64];
      std::snprintf(text, sizeof text, "PRESS SPACE ON EVERY KICK   %d OF %d", presses_.Presses(),
                    KickPresses::kKicks);
      view.line = text;
      view.hint = "SPACE, ENTER, A CLICK OR A BUTTON ON THE KICK    ESC: LEAVE WITHOUT SAVING";
      break;
    }
    case Phase::kDone:
      view.line = result_;
      view.trouble = trouble_;
      view.hint = "SPACE OR ESC: BACK";
      break;
  }
  view_ = std::move(view);
}

void CalibrationPlatform::Draw() {
  drawnAt_ = inner().Clock();
  if (hooks_.draw) hooks_.draw(view_);
}

bool CalibrationPlatform::Pressed(int scanCode) const {
  return inner().KeyHeld(scanCode) && !wasHeld_[scanCode];
}

bool CalibrationPlatform::TapPressed() const {
  const int32_t buttons = inner().ReadMouse().buttons;
  return Pressed(scan::kSpace) || Pressed(scan::kEnter) || (buttons & ~buttonsWereHeld_) != 0;
}

void CalibrationPlatform::RememberHeld(std::array<bool, scan::kCount>& keys,
                                       int32_t& buttons) const {
  for (int code = 0; code < scan::kCount; ++code) keys[code] = inner().KeyHeld(code);
  buttons = inner().ReadMouse().buttons;
}

}  // namespace fenwhit
