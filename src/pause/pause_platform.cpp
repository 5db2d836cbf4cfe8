#include "pause/pause_platform.h"

#include <iterator>

#include "audio/music.h"
#include "audio/sound_device.h"
#include "settings/volume_bar.h"

namespace fenwhit {

namespace {

// Keys whose change while paused may change the picture (the volume bar).
constexpr int kWatchedKeys[] = {scan::kMinus, scan::kEquals, scan::kKeypadMinus, scan::kKeypadPlus};
// A little longer than the volume bar stays.
constexpr double kBarSeconds = kVolumeBarSeconds + 0.1;

}  // namespace

PausePlatform::PausePlatform(Platform& inner, SoundDevice& sound, std::function<void()> drawScreen,
                             bool personPlaying)
    : ForwardingPlatform(inner),
      sound_(sound),
      drawScreen_(std::move(drawScreen)),
      personPlaying_(personPlaying) {}

bool PausePlatform::PauseKeyHeld() const {
  return inner().KeyHeld(scan::kP) || inner().KeyHeld(scan::kPause);
}

void PausePlatform::PumpEvents() {
  escapeAfterPause_ = false;
  inner().PumpEvents();
  const bool pauseKey = PauseKeyHeld();
  const bool pressed = pauseKey && !pauseKeyWasHeld_;
  pauseKeyWasHeld_ = pauseKey;
  const bool active = inner().WindowActive();
  const bool focusLost = wasActive_ && !active;
  wasActive_ = active;
  const uint64_t gamepadsLost = inner().GamepadsLost();
  const bool gamepadLost = gamepadsLost != gamepadsLost_;
  gamepadsLost_ = gamepadsLost;
  const bool peerPauses = peerAsks_ == PeerAsks::kPause;
  peerAsks_ = PeerAsks::kNothing;
  const bool localPause = pressed || (personPlaying_ && (focusLost || gamepadLost));
  // A game runs its beat thread from its start until it is left; the menu never does.
  if (BeatThreadRunning() && (localPause || peerPauses)) {
    RunPaused(!localPause);
    HideHeldCancels();
  }
  if (spaceHidden_ && !inner().KeyHeld(scan::kSpace)) spaceHidden_ = false;
  if (hiddenButtons_ != 0) hiddenButtons_ &= inner().ReadMouse().buttons;
}

void PausePlatform::Share(Sharing sharing) {
  sharing_ = std::move(sharing);
  peerAsks_ = PeerAsks::kNothing;
}

void PausePlatform::StopSharing() {
  sharing_.reset();
  peerAsks_ = PeerAsks::kNothing;
}

void PausePlatform::FollowPeer(bool paused) {
  if (paused != paused_) peerAsks_ = paused ? PeerAsks::kPause : PeerAsks::kGoOn;
}

void PausePlatform::RunPaused(bool byPeer) {
  paused_ = true;
  if (sharing_ && !byPeer) sharing_->localChanged(true);
  bool peerWentOn = false;
  sound_.SetPaused(true);
  HoldHeardBeats();
  const double start = inner().Clock();
  bool escapeWasHeld = inner().KeyHeld(scan::kEsc);
  bool watchedWereHeld[std::size(kWatchedKeys)] = {};
  PixelSize drawn = inner().DrawableSize();
  drawScreen_();
  double lastDrawn = start;
  double hideBarAt = -1.0;
  for (;;) {
    inner().SleepMs(kPollMs);
    if (sharing_) {
      sharing_->service();
      if (peerAsks_ == PeerAsks::kGoOn) {
        peerWentOn = true;
        break;
      }
    }
    inner().PumpEvents();
    bool redraw = false;
    for (WindowEvent event = inner().TakeWindowEvent(); event != WindowEvent::kNone;
         event = inner().TakeWindowEvent()) {
      if (event == WindowEvent::kClose) closeRequested_ = true;
      redraw = true;
    }
    if (closeRequested_) break;
    const bool pauseKey = PauseKeyHeld();
    const bool goOn = pauseKey && !pauseKeyWasHeld_;
    pauseKeyWasHeld_ = pauseKey;
    if (goOn) break;
    const bool escape = inner().KeyHeld(scan::kEsc);
    if (escape && !escapeWasHeld) {
      escapeAfterPause_ = true;
      break;
    }
    escapeWasHeld = escape;
    const double now = inner().Clock();
    // A volume key shows its bar at once, and the bar goes again after a while.
    for (size_t i = 0; i < std::size(kWatchedKeys); ++i) {
      const bool held = inner().KeyHeld(kWatchedKeys[i]);
      if (held != watchedWereHeld[i]) {
        redraw = true;
        hideBarAt = now + kBarSeconds;
      }
      watchedWereHeld[i] = held;
    }
    if (hideBarAt >= 0 && now >= hideBarAt) {
      redraw = true;
      hideBarAt = -1.0;
    }
    const PixelSize size = inner().DrawableSize();
    if (size.width != drawn.width || size.height != drawn.height) redraw = true;
    if (redraw || now - lastDrawn >= kRedrawSeconds) {
      drawScreen_();
      drawn = size;
      lastDrawn = now;
    }
  }
  peerAsks_ = PeerAsks::kNothing;
  if (sharing_ && !peerWentOn) sharing_->localChanged(false);
  pausedTime_ += inner().Clock() - start;
  // What went while paused was seen: it pauses no more.
  wasActive_ = inner().WindowActive();
  gamepadsLost_ = inner().GamepadsLost();
  ReleaseHeardBeats();
  sound_.SetPaused(false);
  paused_ = false;
}

void PausePlatform::HideHeldCancels() {
  spaceHidden_ = inner().KeyHeld(scan::kSpace);
  hiddenButtons_ = inner().ReadMouse().buttons;
}

bool PausePlatform::KeyHeld(int scanCode) const {
  if (scanCode == scan::kEsc && escapeAfterPause_) return true;
  if (scanCode == scan::kSpace && spaceHidden_) return false;
  return inner().KeyHeld(scanCode);
}

MouseState PausePlatform::ReadMouse() {
  MouseState mouse = inner().ReadMouse();
  mouse.buttons &= ~hiddenButtons_;
  return mouse;
}

WindowEvent PausePlatform::TakeWindowEvent() {
  if (closeRequested_) {
    closeRequested_ = false;
    return WindowEvent::kClose;
  }
  return inner().TakeWindowEvent();
}

}  // namespace fenwhit
