#pragma once
// The platform with the player's settings: the minus and plus keys (main keyboard and
// keypad) step the master volume in the menu, in a game and while paused, and whatever the
// player changes (the volume, the screen mode chosen in the menu, fullscreen, what the
// options screen sets) is written back as soon as it changes. A choice made for one run only
// (--fullscreen, --window) is not a change: only what the player does while the game runs is.
// The file is written on the writer thread, so a busy disk never holds up a frame.
#include <functional>
#include <ostream>
#include <string>

#include "keep/settings.h"
#include "platform/forwarding_platform.h"

namespace fenwhit {

class BackgroundWriter;
class SoundDevice;

class SettingsPlatform final : public ForwardingPlatform {
 public:
  // Where the screen mode and the fullscreen state are read from.
  struct Watched {
    std::function<int()> screenMode;
    std::function<bool()> fullscreen;
  };

  // remembered: what the file holds; the volume is put in force at once. The fullscreen
  // state watched now is where this run starts. The file is only written through the writer
  // from then on.
  SettingsPlatform(Platform& inner, SoundDevice& sound, SettingsFile& file,
                   BackgroundWriter& writer, Settings remembered, Watched watched,
                   std::ostream& err);

  void PumpEvents() override;

  // The player chose music in the menu (a path, or the game's own music for now).
  void RememberMusic(const std::string& music, bool ownMusic);
  // The player joined a network game at this address.
  void RememberNetAddress(const std::string& address);
  // The player chose calm flashes (true) or full ones.
  void RememberFlashes(bool calm);
  // The player's offset of the heard beat (set in the options or found by the calibration),
  // held to -300 ... 300 ms.
  void RememberAvOffset(int ms);
  // The volume one step down (-1) or up (+1), as the minus and plus keys step it.
  void StepVolume(int step);

  int Volume() const { return settings_.volume; }
  bool CalmFlashes() const { return settings_.calmFlashes; }
  int AvOffsetMs() const { return settings_.avOffsetMs.value_or(0); }
  // The inner clock's reading when the volume last changed; negative before that.
  double VolumeChangedAt() const { return volumeChangedAt_; }

 private:
  // +1, -1 or 0 for the volume keys pressed since the last pump.
  int VolumeStep();
  // True when the volume changed.
  bool ChangeVolume(int step);
  void QueueSave();

  SoundDevice& sound_;
  SettingsFile& file_;
  BackgroundWriter& writer_;
  Settings settings_;
  Watched watched_;
  std::ostream& err_;
  int lastScreenMode_ = -1;
  bool lastFullscreen_ = false;
  bool watching_ = false;
  bool downWasHeld_ = false;
  bool upWasHeld_ = false;
  double volumeChangedAt_ = -1.0;
};

}  // namespace fenwhit
