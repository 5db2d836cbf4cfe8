// The picture in a drawable of another size (fullscreen, or a window fitted to a small
// desktop): scaled uniformly and centred with black bars, in both renderers; and the
// fullscreen keys.
#include <GL/gl.h>
#include <SDL.h>

#include "app/display.h"
#include "gfx/batch_renderer.h"
#include "gfx/draw.h"
#include "platform/forwarding_platform.h"
#include "support/gl_fixture.h"

namespace fenwhit {
namespace {

using testing::GlTest;

TEST(Letterbox, FitsTheShapeCentredAndShrinksOnlyWhatIsTooLarge) {
  EXPECT_EQ(Letterbox(1280, 720, 1280, 720), (PixelRect{0, 0, 1280, 720}));
  EXPECT_EQ(Letterbox(1280, 720, 1920, 1080), (PixelRect{0, 0, 1920, 1080}));
  EXPECT_EQ(Letterbox(1280, 720, 1600, 1200), (PixelRect{0, 150, 1600, 900}));
  EXPECT_EQ(Letterbox(1280, 720, 2000, 720), (PixelRect{360, 0, 1280, 720}));
  EXPECT_EQ(Letterbox(1366, 768, 1920, 1080), (PixelRect{0, 0, 1920, 1079}));
  EXPECT_EQ(FitWithin(1280, 720, 1920, 1050), (PixelSize{1280, 720}));
  EXPECT_EQ(FitWithin(2560, 1440, 1920, 1050), (PixelSize{1867, 1050}));
  EXPECT_EQ(FitWithin(1280, 800, 1024, 768), (PixelSize{1024, 640}));
  EXPECT_EQ(FitWithin(1280, 720, 0, 0), (PixelSize{1280, 720}));  // bounds unknown
}

class ScaledPicture : public GlTest {
 protected:
  // The drawable as it is now, RGB of (x, y) from the top-left corner.
  struct Frame {
    PixelSize size;
    std::vector<uint8_t> rgba;
    bool Lit(int x, int y) const {
      const size_t i = (static_cast<size_t>(size.height - 1 - y) * size.width + x) * 4;
      return rgba[i] != 0 || rgba[i + 1] != 0 || rgba[i + 2] != 0;
    }
    bool White(int x, int y) const {
      const size_t i = (static_cast<size_t>(size.height - 1 - y) * size.width + x) * 4;
      return rgba[i] == 255 && rgba[i + 1] == 255 && rgba[i + 2] == 255;
    }
    int Red(int x, int y) const {
      return rgba[(static_cast<size_t>(size.height - 1 - y) * size.width + x) * 4];
    }
  };
  Frame Read() const {
    glFinish();
    Frame frame{platform_->DrawableSize(), {}};
    frame.rgba.resize(static_cast<size_t>(frame.size.width) * frame.size.height * 4);
    glReadPixels(0, 0, frame.size.width, frame.size.height, GL_RGBA, GL_UNSIGNED_BYTE,
                 frame.rgba.data());
    return frame;
  }
};

// The offscreen driver never resizes a window's framebuffer, so each drawable is a window
// of its own, which the renderer is told of as it is after a toggle.
class ReportedDrawable final : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  PixelSize DrawableSize() const override { return size; }
  PixelSize size;
};

TEST_F(ScaledPicture, ModeZeroIsScaledAndCentredWithBlackBarsInBothRenderers) {
  for (const PixelSize drawable :
       {PixelSize{1920, 1080}, PixelSize{1600, 1200}, PixelSize{2000, 720}}) {
    SetRenderer(nullptr);
    platform_.reset();
    platform_ = std::make_unique<SdlPlatform>("Fenwhit test");
    platform_->SetFitToDesktop(false);
    ASSERT_TRUE(platform_->OpenWindow(drawable.width, drawable.height));
    ASSERT_EQ(platform_->DrawableSize(), drawable);
    SetPlatform(platform_.get());
    ReportedDrawable reported(*platform_);
    GlRenderer immediate(reported);
    BatchRenderer batch(reported);
    Renderer* renderers[] = {&immediate, &batch};
    for (Renderer* renderer : renderers) {
      SCOPED_TRACE(::testing::Message() << drawable.width << "x" << drawable.height
                                        << (renderer == &batch ? " batched" : " immediate"));
      SetRenderer(renderer);
      reported.size = {kWidth, kHeight};
      renderer->SetUpWindow(kWidth, kHeight);
      ClearFrame();
      // A frame's events are taken after its clear: a toggle there resizes the drawable
      // this very frame draws into.
      reported.size = drawable;
      SetColor(40, 40, 40, 255);
      FillRect(0, 0, kWidth, kHeight);
      SetColor(255, 255, 255, 255);
      FillRect(320, 180, 640, 360);
      // Wide lines across the left and the top edge must not spill into a bar.
      SetColor(255, 0, 0, 255);
      DrawLine(-100, 360, 100, 360, 60.0f);
      DrawLine(500, 5, 700, 5, 60.0f);
      batch.Flush();
      const Frame frame = Read();

      const PixelRect picture = Letterbox(kWidth, kHeight, drawable.width, drawable.height);
      const double scale = static_cast<double>(picture.width) / kWidth;
      int white[4] = {drawable.width, drawable.height, -1, -1};
      int barLit = 0;
      for (int y = 0; y < drawable.height; ++y) {
        for (int x = 0; x < drawable.width; ++x) {
          const bool inside = x >= picture.x && x < picture.x + picture.width && y >= picture.y &&
                              y < picture.y + picture.height;
          if (!inside) {
            barLit += frame.Lit(x, y);
          } else if (frame.White(x, y)) {
            white[0] = std::min(white[0], x);
            white[1] = std::min(white[1], y);
            white[2] = std::max(white[2], x);
            white[3] = std::max(white[3], y);
          }
        }
      }
      EXPECT_EQ(barLit, 0);
      // The background fills the picture to its corners.
      EXPECT_TRUE(frame.Lit(picture.x, picture.y + picture.height - 1));
      EXPECT_TRUE(frame.Lit(picture.x + picture.width - 1, picture.y));
      EXPECT_NEAR(white[0], picture.x + 320 * scale, 1.0);
      EXPECT_NEAR(white[1], picture.y + 180 * scale, 1.0);
      EXPECT_NEAR(white[2] + 1, picture.x + 960 * scale, 1.0);
      EXPECT_NEAR(white[3] + 1, picture.y + 540 * scale, 1.0);
      // The line is scaled with the picture: 60 units thick.
      int thick = 0;
      for (int y = 0; y < drawable.height; ++y) thick += frame.Red(picture.x + 2, y) == 255;
      EXPECT_NEAR(thick, 60 * scale, 2.0);

      // The next frame starts all black, bars included.
      ClearFrame();
      batch.Flush();
      const Frame cleared = Read();
      int lit = 0;
      for (int y = 0; y < drawable.height; ++y) {
        for (int x = 0; x < drawable.width; ++x) lit += cleared.Lit(x, y);
      }
      EXPECT_EQ(lit, 0);
    }
  }
}

class Fullscreen : public GlTest {
 protected:
  static void Send(Uint32 type, SDL_Scancode code, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.scancode = code;
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
  }
  static bool WindowFullscreen() {
    return (SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
           SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
};

TEST_F(Fullscreen, F11AndAltEnterToggleOncePerPressAndTheGameNeverSeesThem) {
  ASSERT_FALSE(WindowFullscreen());
  Send(SDL_KEYDOWN, SDL_SCANCODE_F11);
  Send(SDL_KEYDOWN, SDL_SCANCODE_F11, KMOD_NONE, 1);
  Send(SDL_KEYDOWN, SDL_SCANCODE_F11);
  platform_->PumpEvents();
  EXPECT_TRUE(platform_->Fullscreen());
  EXPECT_TRUE(WindowFullscreen());
  Send(SDL_KEYUP, SDL_SCANCODE_F11);
  platform_->PumpEvents();
  EXPECT_TRUE(platform_->Fullscreen());

  // Alt+Enter held: one toggle, and Enter is not held for the menu.
  Send(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT);
  Send(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT, 1);
  platform_->PumpEvents();
  EXPECT_FALSE(platform_->Fullscreen());
  EXPECT_FALSE(WindowFullscreen());
  EXPECT_FALSE(platform_->KeyHeld(28));
  Send(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_LALT);
  platform_->PumpEvents();
  EXPECT_FALSE(platform_->KeyHeld(28));

  // Enter alone is still the game's, even when Alt comes later and it repeats.
  Send(SDL_KEYDOWN, SDL_SCANCODE_RETURN);
  Send(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT, 1);
  platform_->PumpEvents();
  EXPECT_TRUE(platform_->KeyHeld(28));
  EXPECT_FALSE(platform_->Fullscreen());
}

TEST_F(Fullscreen, AModeSwitchKeepsFullscreenAndLaysOutTheNewModeInIt) {
  SelectStartMode();
  platform_->SetFullscreen(true);
  ClearFrame();
  const PixelSize screen = platform_->DrawableSize();
  ASSERT_TRUE(WindowFullscreen());
  SwitchScreenMode(3);
  EXPECT_TRUE(platform_->Fullscreen());
  EXPECT_TRUE(WindowFullscreen());
  EXPECT_EQ(platform_->DrawableSize(), screen);
  const PixelRect picture = Letterbox(1920, 1080, screen.width, screen.height);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], picture.x);
  EXPECT_EQ(viewport[2], picture.width);
  EXPECT_EQ(viewport[3], picture.height);
  float m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_FLOAT_EQ(m[0], 2.0f / 1920);
  EXPECT_FLOAT_EQ(m[5], -2.0f / 1080);
  SelectStartMode();
}

TEST_F(Fullscreen, AWindowTooLargeForTheDesktopIsFittedWithItsShape) {
  SDL_Rect usable{};
  ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
  SdlPlatform fitted("Fenwhit fitted");
  ASSERT_TRUE(fitted.OpenWindow(usable.w * 2, usable.w));
  EXPECT_EQ(fitted.DrawableSize(), FitWithin(usable.w * 2, usable.w, usable.w, usable.h));
}

}  // namespace
}  // namespace fenwhit
