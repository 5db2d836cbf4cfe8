#include "app/display.h"

#include "gfx/renderer.h"
#include "platform/platform.h"

namespace fenwhit {

ScreenModeState screenMode;

void SelectStartMode(int32_t mode) {
  if (mode < 0 || mode >= kScreenModeCount) mode = 0;
  screenMode = ScreenModeState{};
  screenMode.index = mode;
  const ScreenModeRow& row = kScreenModes[mode];
  screenMode.width = row.width;
  screenMode.height = row.height;
  screenMode.viewOffsetX = row.viewOffsetX;
  screenMode.viewOffsetY = row.viewOffsetY;
}

bool OpenScreen(int32_t width, int32_t height, int32_t /*depth*/) {
  if (!ThePlatform().OpenWindow(width, height)) return false;
  TheRenderer().SetUpWindow(width, height);
  return true;
}

void SwitchScreenMode(int32_t mode) {
  if (mode < 0 || mode >= kScreenModeCount || mode == screenMode.index) return;
  const ScreenModeRow& row = kScreenModes[mode];
  screenMode.index = mode;
  screenMode.viewOffsetX = row.viewOffsetX;
  screenMode.viewOffsetY = row.viewOffsetY;
  screenMode.width = row.width;
  screenMode.height = row.height;
  // The window is resized with its context kept; a refusal leaves the old size in use.
  OpenScreen(row.width, row.height, 32);
}

}  // namespace fenwhit
