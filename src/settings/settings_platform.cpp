#include "settings/settings_platform.h"

#include <algorithm>

#include "audio/heard_beats.h"
#include "audio/sound_device.h"
#include "keep/background_writer.h"

namespace fenwhit {

SettingsPlatform::SettingsPlatform(Platform& inner, SoundDevice& sound, SettingsFile& file,
                                   BackgroundWriter& writer, Settings remembered, Watched watched,
                                   std::ostream& err)
    : ForwardingPlatform(inner),
      sound_(sound),
      file_(file),
      writer_(writer),
      settings_(std::move(remembered)),
      watched_(std::move(watched)),
      err_(err) {
  settings_.volume = std::clamp(settings_.volume, 0, kMasterVolumeSteps);
  sound_.SetMasterVolume(settings_.volume);
  // Fullscreen is set before the window opens: F11 pressed during the intro, which takes
  // effect at the first pump, is already the player's.
  lastFullscreen_ = watched_.fullscreen();
}

int SettingsPlatform::VolumeStep() {
  const bool down = inner().KeyHeld(scan::kMinus) || inner().KeyHeld(scan::kKeypadMinus);
  const bool up = inner().KeyHeld(scan::kEquals) || inner().KeyHeld(scan::kKeypadPlus);
  int step = 0;
  if (down && !downWasHeld_) --step;
  if (up && !upWasHeld_) ++step;
  downWasHeld_ = down;
  upWasHeld_ = up;
  return step;
}

void SettingsPlatform::PumpEvents() {
  inner().PumpEvents();
  bool changed = ChangeVolume(VolumeStep());
  // The screen mode standing at the first pump is where this run started, not a change.
  const int screenMode = watched_.screenMode();
  const bool fullscreen = watched_.fullscreen();
  if (watching_ && screenMode != lastScreenMode_) {
    settings_.screenMode = screenMode;
    changed = true;
  }
  if (fullscreen != lastFullscreen_) {
    settings_.fullscreen = fullscreen;
    changed = true;
  }
  lastScreenMode_ = screenMode;
  lastFullscreen_ = fullscreen;
  watching_ = true;
  if (changed) QueueSave();
}

bool SettingsPlatform::ChangeVolume(int step) {
  if (step == 0) return false;
  volumeChangedAt_ = inner().Clock();
  const int volume = std::clamp(settings_.volume + step, 0, kMasterVolumeSteps);
  if (volume == settings_.volume) return false;
  settings_.volume = volume;
  sound_.SetMasterVolume(volume);
  return true;
}

void SettingsPlatform::StepVolume(int step) {
  if (ChangeVolume(std::clamp(step, -1, 1))) QueueSave();
}

void SettingsPlatform::RememberMusic(const std::string& music, bool ownMusic) {
  if (settings_.music == music && settings_.ownMusic == ownMusic) return;
  settings_.music = music;
  settings_.ownMusic = ownMusic;
  QueueSave();
}

void SettingsPlatform::RememberNetAddress(const std::string& address) {
  if (settings_.netAddress == address) return;
  settings_.netAddress = address;
  QueueSave();
}

void SettingsPlatform::RememberFlashes(bool calm) {
  if (settings_.calmFlashes == calm) return;
  settings_.calmFlashes = calm;
  QueueSave();
}

void SettingsPlatform::RememberAvOffset(int ms) {
  ms = std::clamp(ms, -kAvOffsetLimitMs, kAvOffsetLimitMs);
  if (settings_.avOffsetMs == ms) return;
  settings_.avOffsetMs = ms;
  QueueSave();
}

void SettingsPlatform::QueueSave() {
  // Only the newest settings need to reach the disk.
  writer_.QueueReplacing(
      &file_, [&file = file_, settings = settings_, &err = err_] { file.Save(settings, err); });
}

}  // namespace fenwhit
