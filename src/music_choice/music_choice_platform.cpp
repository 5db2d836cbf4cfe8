#include "music_choice/music_choice_platform.h"

#include "audio/music.h"
#include "music_choice/music_choice_lines.h"
#include "songs/chosen_songs.h"
#include "ui/main_menu.h"

namespace fenwhit {

MusicChoicePlatform::MusicChoicePlatform(Platform& inner, ChosenSongs& songs, Remember remember)
    : ForwardingPlatform(inner), songs_(songs), remember_(std::move(remember)) {}

void MusicChoicePlatform::PumpEvents() {
  inner().PumpEvents();
  // The intro shows no menu frame; a game runs its beat thread until it is left; a screen
  // over the menu takes the keys.
  const bool inMenu = menu.menuFrames > 0 && !BeatThreadRunning() && !menu.covered;
  TakeDrops(inMenu);
  FollowKeys(inMenu);
  lines_.clear();
  if (!inMenu) return;
  const ChosenSongsView view = songs_.View();
  const double now = inner().Clock();
  // A word that came during a game is shown from the menu's first frame on.
  if (view.troubleSerial != troubleSeen_) {
    troubleSeen_ = view.troubleSerial;
    troubleSince_ = now;
  }
  lines_ = MusicChoiceLines(view, troubleSince_ >= 0.0 && now - troubleSince_ < kTroubleSeconds);
}

void MusicChoicePlatform::TakeDrops(bool inMenu) {
  // Drops during a game are let go: they would change the music of games not yet asked for.
  while (const std::optional<std::string> path = inner().TakeDroppedPath()) {
    if (inMenu && songs_.Choose(*path)) remember_(*path, false);
  }
}

bool MusicChoicePlatform::MusicChosen() const {
  return songs_.View().chosen;
}

bool MusicChoicePlatform::OwnMusic() const {
  return songs_.OwnMusic();
}

void MusicChoicePlatform::SwitchMusic() {
  if (MusicChosen()) {
    const bool own = !songs_.OwnMusic();
    songs_.SetOwnMusic(own);
    remember_(songs_.Path(), own);
  }
}

void MusicChoicePlatform::FollowKeys(bool inMenu) {
  const bool tab = inner().KeyHeld(scan::kTab);
  if (inMenu && tab && !tabHeld_) SwitchMusic();
  tabHeld_ = tab;

  listening_ = inMenu && songs_.ListeningForNextGame();
  const bool esc = inner().KeyHeld(scan::kEsc);
  if (listening_ && esc && !holdingEsc_) songs_.GiveUpListening();
  holdingEsc_ = esc && (holdingEsc_ || listening_);

  const bool start = inner().KeyHeld(scan::kSpace) || (inner().ReadMouse().buttons & 1) != 0;
  holdingStart_ = start && (holdingStart_ || listening_);
}

bool MusicChoicePlatform::KeyHeld(int scanCode) const {
  if (scanCode == scan::kEsc && holdingEsc_) return false;
  if (scanCode == scan::kSpace && holdingStart_) return false;
  return inner().KeyHeld(scanCode);
}

MouseState MusicChoicePlatform::ReadMouse() {
  MouseState mouse = inner().ReadMouse();
  if (holdingStart_) mouse.buttons &= ~1;
  return mouse;
}

}  // namespace fenwhit
