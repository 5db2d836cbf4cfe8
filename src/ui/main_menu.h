#pragma once
// The main menu: two start items, six screen modes and exit, chosen with the arrows
// (or K/M, W/S) and Space or a left click.
#include <cstdint>

namespace fenwhit {

struct MenuState {
  int32_t menuIndex = 0;  // kept from visit to visit
  int32_t cursorX = 460;
  int32_t cursorY = 214;
  int32_t upLatch = 1;
  int32_t downLatch = 1;
  int32_t menuFrames = 0;
  // A game asked for from outside the menu's own items (a network game ready to start):
  // 0 one paddle, 1 two paddles, -1 none. The menu starts it at its next frame.
  int32_t requestedGame = -1;
  // A screen drawn over the menu (the network screen) is open: the menu neither runs nor
  // stands idle meanwhile.
  bool covered = false;
};

extern MenuState menu;

inline constexpr int kMenuItemCount = 9;
inline constexpr int32_t kMenuItemY[kMenuItemCount] = {214, 254, 300, 342, 384,
                                                       428, 472, 514, 598};

// The per-visit reset, after resetGameState.
void EnterMainMenu();
// Runs menu frames until a start item is activated (after startGame has run) and
// returns; the exit item, Esc and a window close end the program.
void RunMainMenu();

}  // namespace fenwhit
