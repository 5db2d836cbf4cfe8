// The window on a real X desktop: a virtual X server with a window manager that frames
// windows and keeps a bar along the top. Skipped where Xvfb or openbox is not installed.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sdl_platform.h"
#include "support/x_desktop.h"

namespace fenwhit {
namespace {

class X11Desktop : public testing::XDesktopTest {
 protected:
  // Pumps until the window has stood still for a while, so the window manager's answers
  // have arrived.
  static void Settle(SdlPlatform& platform) {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    SDL_Rect last{-1, -1, -1, -1};
    for (int i = 0, still = 0; i < 500 && still < 20; ++i) {
      platform.PumpEvents();
      SDL_Delay(10);
      SDL_Rect now{};
      SDL_GetWindowPosition(window, &now.x, &now.y);
      SDL_GetWindowSize(window, &now.w, &now.h);
      still = SDL_RectEquals(&now, &last) ? still + 1 : 0;
      last = now;
    }
  }
  // The window, its frame included, lies within the usable area and fills its height
  // (every mode but the first is too tall for 768 pixels less the bar), keeping the
  // picture's shape.
  static void ExpectFramedWithinUsable(int width, int height) {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    int x = 0, y = 0, w = 0, h = 0, top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    ASSERT_EQ(SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right), 0);
    EXPECT_GT(top, 0) << "no frame";
    const SDL_Rect usable = Usable();
    EXPECT_GE(x - left, usable.x);
    EXPECT_GE(y - top, usable.y);
    EXPECT_LE(x + w + right, usable.x + usable.w);
    EXPECT_LE(y + h + bottom, usable.y + usable.h);
    EXPECT_EQ(top + h + bottom, usable.h);
    EXPECT_NEAR(static_cast<double>(w) / h, static_cast<double>(width) / height, 0.01);
  }
};

TEST_F(X11Desktop, TheWindowLeavesRoomForItsFrameAndTheBarAfterFullscreenToo) {
  SdlPlatform platform("Fenwhit desktop test");
  ASSERT_TRUE(platform.OpenWindow(1280, 720)) << platform.LastError();
  // Keys go to the game, not through an input method.
  EXPECT_FALSE(SDL_IsTextInputActive());
  Settle(platform);
  ExpectFramedWithinUsable(1280, 720);

  // A mode chosen in fullscreen, then back to the window.
  platform.SetFullscreen(true);
  Settle(platform);
  ASSERT_TRUE(platform.OpenWindow(1280, 800));
  Settle(platform);
  platform.SetFullscreen(false);
  Settle(platform);
  ExpectFramedWithinUsable(1280, 800);
}

// Keys pressed as a keyboard presses them (by keycode, through XTEST) under a German
// layout: the keys labelled minus and plus are the volume keys, the US minus place (sharp s
// there) is not.
TEST_F(X11Desktop, UnderAGermanLayoutTheKeysLabelledMinusAndPlusAreTheVolumeKeys) {
  if (!testing::Installed("setxkbmap") || !testing::Installed("xdotool")) {
    GTEST_SKIP() << "setxkbmap and xdotool are needed to type";
  }
  ASSERT_TRUE(SetKeyboardLayout("de")) << SDL_GetError();
  SdlPlatform platform("Fenwhit keyboard test");
  ASSERT_TRUE(platform.OpenWindow(640, 360)) << platform.LastError();
  Settle(platform);
  // Each key held a few frames; what the game saw of it.
  const auto type = [&](int keycode) {
    const std::string key = "xdotool keydown " + std::to_string(keycode) + " sleep 0.1 keyup " +
                            std::to_string(keycode);
    EXPECT_EQ(std::system(key.c_str()), 0);
    std::vector<int> seen;
    for (int frame = 0; frame < 30; ++frame) {
      platform.PumpEvents();
      for (int code : {scan::kMinus, scan::kEquals}) {
        if (platform.KeyHeld(code) && std::find(seen.begin(), seen.end(), code) == seen.end()) {
          seen.push_back(code);
        }
      }
      SDL_Delay(10);
    }
    return seen;
  };
  // X keycodes of the places: the US slash, the US right bracket, the US minus.
  EXPECT_EQ(type(61), std::vector<int>{scan::kMinus});
  EXPECT_EQ(type(35), std::vector<int>{scan::kEquals});
  EXPECT_EQ(type(20), std::vector<int>{});
  EXPECT_GE(platform.KeyPresses(), 3u);  // all three arrived
}

}  // namespace
}  // namespace fenwhit
