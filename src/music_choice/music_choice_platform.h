#pragma once
// The menu's side of the player's music. In the menu, a file or folder dropped on the
// window becomes the music of the next games, and Tab switches between the player's music
// and the game's own. While the next game's song is being listened to, no game starts
// (Space and the left click are held back) and Esc gives up listening instead of leaving.
#include <functional>
#include <string>
#include <vector>

#include "platform/forwarding_platform.h"

namespace fenwhit {

class ChosenSongs;

class MusicChoicePlatform final : public ForwardingPlatform {
 public:
  // Told each choice the player makes in the menu, to remember it.
  using Remember = std::function<void(const std::string& music, bool ownMusic)>;

  MusicChoicePlatform(Platform& inner, ChosenSongs& songs, Remember remember);

  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override;
  MouseState ReadMouse() override;
  // Drops are taken here: nothing further out sees them.
  std::optional<std::string> TakeDroppedPath() override { return std::nullopt; }

  // Switches between the player's music and the game's own, as Tab does; nothing until the
  // player chose music of their own.
  void SwitchMusic();
  // Whether the player chose music of their own, and whether the game's own plays for now.
  bool MusicChosen() const;
  bool OwnMusic() const;

  // The lines the menu shows about the music, as of the last pump; none outside the menu.
  const std::vector<std::string>& MenuLines() const { return lines_; }

  // How long a word about a song that cannot play stays.
  static constexpr double kTroubleSeconds = 6.0;

 private:
  void TakeDrops(bool inMenu);
  void FollowKeys(bool inMenu);

  ChosenSongs& songs_;
  Remember remember_;
  bool tabHeld_ = false;
  bool listening_ = false;
  // Held back until let go: Esc that gave up, Space or a click that would start a game.
  bool holdingEsc_ = false;
  bool holdingStart_ = false;
  uint64_t troubleSeen_ = 0;
  double troubleSince_ = -1.0;
  std::vector<std::string> lines_;
};

}  // namespace fenwhit
