#pragma once
// The window and its six screen modes. A mode sets the window size and the offset by
// which every screen shifts the playfield inside the window.
#include <cstdint>

namespace fenwhit {

struct ScreenModeState {
  int32_t index = 0;
  int32_t width = 1280;
  int32_t height = 720;
  int32_t viewOffsetX = 0;
  int32_t viewOffsetY = 0;
};

struct ScreenModeRow {
  int32_t width;
  int32_t height;
  int32_t viewOffsetX;
  int32_t viewOffsetY;
};

inline constexpr int kScreenModeCount = 6;
inline constexpr ScreenModeRow kScreenModes[kScreenModeCount] = {
    {1280, 720, 0, 0},      {1280, 800, 0, 0},      {1366, 768, 0, 0},
    {1920, 1080, 300, 200}, {1920, 1200, 300, 200}, {2560, 1440, 400, 300},
};

extern ScreenModeState screenMode;

// Sets the mode the window opens in: mode 0 (1280 x 720, no offset) unless the player's
// remembered mode is given. Called at start-up before the window opens.
void SelectStartMode(int32_t mode = 0);
// Opens the window and sets the fixed render state; false if it cannot be opened.
bool OpenScreen(int32_t width, int32_t height, int32_t depth);
// Switches to mode m (ignored when m is the current mode): new window size (fullscreen
// stays fullscreen, with the new mode's picture in it). The window and its OpenGL context
// are kept, and every texture with them.
void SwitchScreenMode(int32_t mode);

}  // namespace fenwhit
