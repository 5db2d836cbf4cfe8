// The batched renderer against the immediate one it replaces: the same scenes, drawn by
// each into the same window, must give the same pixels.
#include "gfx/batch_renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "app/pictures.h"
#include "audio/sound_device.h"
#include "events/effect_pools.h"
#include "game/arena.h"
#include "game/backdrop.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "game/random.h"
#include "gfx/draw.h"
#include "gfx/recording_renderer.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "support/full_pools.h"
#include "support/game_in_play.h"
#include "support/gl_fixture.h"
#include "support/recorded_frames.h"
#include "ui/hud.h"

namespace fenwhit {
namespace {

using testing::GlTest;

class BatchAgainstImmediate : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (IsSkipped()) return;
    batch_ = std::make_unique<BatchRenderer>(*platform_);
    // Uploaded through the batched renderer, as the game does: it keeps what it learns of
    // each picture (where it is transparent) and draws with it.
    SetRenderer(batch_.get());
    const std::string assets = std::string(FENWHIT_SOURCE_DIR) + "/assets/";
    LoadMenuPicture(assets);
    LoadOtherPictures(assets);
    SetRenderer(renderer_.get());
  }
  void TearDown() override {
    pictures = Pictures{};
    SetSoundDevice(nullptr);
    GlTest::TearDown();
  }

  // Draws `scene` with each renderer on a cleared frame of width x height and compares the
  // frames. With its large sprites drawn whole, the batched renderer must match the
  // reference exactly. Drawn only where their pictures show, they may differ by one level
  // per channel at a few pixels, where the triangles interpolate a texture coordinate a
  // rounding apart: a step of 1 in 255 that no eye tells apart. `tally`, when given,
  // counts that last drawing.
  void ExpectSamePixels(const std::function<void()>& scene, int width = kWidth,
                        int height = kHeight, FragmentTally* tally = nullptr) {
    const std::vector<uint8_t> immediate = DrawWith(*renderer_, scene, width, height);
    batch_->UseSpriteOutlines(false);
    ExpectWithin(immediate, DrawWith(*batch_, scene, width, height), 0, width, height);
    batch_->UseSpriteOutlines(true);
    batch_->SetTally(tally);
    ExpectWithin(immediate, DrawWith(*batch_, scene, width, height), 1, width, height);
    batch_->SetTally(nullptr);
  }

  // No channel more than `levels` apart, and few pixels differing at all.
  void ExpectWithin(const std::vector<uint8_t>& immediate, const std::vector<uint8_t>& batched,
                    int levels, int width, int height) {
    int lit = 0;
    int differing = 0;
    int beyond = 0;
    size_t first = 0;
    for (size_t i = 0; i < immediate.size(); i += 4) {
      lit += immediate[i] != 0 || immediate[i + 1] != 0 || immediate[i + 2] != 0;
      if (std::equal(&immediate[i], &immediate[i + 4], &batched[i])) continue;
      ++differing;
      int most = 0;
      for (size_t k = i; k < i + 4; ++k) most = std::max(most, std::abs(immediate[k] - batched[k]));
      if (most > levels && beyond++ == 0) first = i / 4;
    }
    // A blank scene would match trivially.
    EXPECT_GT(lit, 10000);
    EXPECT_EQ(beyond, 0) << "more than " << levels << " apart, the first at (" << first % width
                         << ", " << height - 1 - static_cast<int>(first / width) << ")";
    EXPECT_LE(differing, width * height / 1000);
  }

  std::vector<uint8_t> DrawWith(Renderer& renderer, const std::function<void()>& scene, int width,
                                int height) {
    SetRenderer(&renderer);
    renderer.SetUpWindow(width, height);
    renderer.ClearFrame();
    scene();
    batch_->Flush();
    glFinish();
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  std::unique_ptr<BatchRenderer> batch_;
};

// Every picture turned and scaled (negative and zero scales too) in both blend modes and
// several tints, with regions, rectangles, lines of several widths and invisible drawing
// between them, some reaching out of the window, first as drawn on the menu and then
// under a turned, unevenly squeezed and shifted scene.
void DrawPicturesAndShapes() {
  const Texture textures[] = {pictures.menu,        pictures.ball,   pictures.cow,
                              pictures.chicken,     pictures.kromby, pictures.logo,
                              pictures.corner,      pictures.light,  pictures.particle,
                              pictures.blackHole,   pictures.brick,  pictures.eventText,
                              pictures.font.texture};
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) SetSceneTransformXY(17.5f, 0.83f, 0.71f, 40, -25);
    int step = 0;
    for (const Texture& texture : textures) {
      for (int k = 0; k < 4; ++k, ++step) {
        if (k % 2 == 0) {
          SetBlendAlpha();
        } else {
          SetBlendAdditive();
        }
        SetColor(255 - 40 * k, 120 + (37 * step) % 136, 90 + (53 * step) % 166, 255 - 45 * k);
        const int32_t x = -60 + (97 * step) % 1350;
        const int32_t y = 20 + (61 * step) % 650;
        const float scales[] = {1.0f, 0.37f, 2.6f, -2.2f};
        DrawSprite(x, y, texture, -190.0f + 33.3f * static_cast<float>(step), scales[k]);
        DrawSpriteRegion(y, x % 700, 3 * step, 5 * step, 45, 33, texture, 0.55f + 0.3f * k);
        if (step % 5 == 0) DrawSprite(x, y, texture, 12.0f, 0.0f);
        SetColor(60 + 7 * step, 200, 255 - 3 * step, 140);
        if (step % 3 == 0) FillRect(x, y + 30, 61 - step, 23);
        if (step % 3 == 1) FillRectCorners(x + 50, y, x - 7, y + 41);
        DrawLine(x, y, x + 300 - 11 * step, y + 170, 1.0f + 0.75f * static_cast<float>(k));
        if (step % 4 == 0) {  // black added and transparent mixed in change nothing
          SetBlendAdditive();
          SetColor(0, 0, 0, 200);
          DrawSprite(x, y, pictures.light, 30.0f, 3.0f);
          SetBlendAlpha();
          SetColor(255, 255, 255, 0);
          FillRect(x, y, 90, 90);
        }
      }
    }
  }
  DrawLine(-14000, 300, 20000, 310, 5.0f);
  // Wide lines along the edges of the 1280 x 720 picture, and just beside it.
  ResetSceneTransform();
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  DrawLine(1, 100, 1, 600, 5.0f);
  DrawLine(100, 718, 900, 719, 5.0f);
  DrawLine(-1, 100, -1, 600, 5.0f);
}

void DrawTexts() {
  const BitmapFont font = pictures.font;
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) SetSceneTransformXY(-8.25f, 0.7f, 0.74f, 25, 15);
    SetBlendAdditive();
    SetColor(255, 255, 255, 255);
    DrawText(30, 40, " LIVES:      CANCEL: ", 1.2f, font);
    SetColor(255, 20, 10, 255);
    DrawText(340, 40, ")", 2.0f, font);
    SetColor(240, 180, 200, 255);
    DrawTextCondensed(230, 340, "!! ARENA EXPAND !!", 3.0f, font);
    SetBlendAlpha();
    SetColor(75, 170, 255, 200);
    DrawText(20, 600, " SCORE: 1234567    ", 1.0f, font);
    DrawText(700, 500, "\x01\x7F\x80\xC9\xFF", 1.015625f, font);
  }
}

TEST_F(BatchAgainstImmediate, PicturesShapesAndTextMatchPixelForPixel) {
  ExpectSamePixels(DrawPicturesAndShapes);
  ExpectSamePixels(DrawTexts);
}

TEST_F(BatchAgainstImmediate, GameFramesMatchPixelForPixel) {
  StartGameInPlay(7);
  game.zoom = 0.7;
  game.tiltAngle = 11.0f;
  game.squeezeX = 0.05;
  ExpectSamePixels([] {
    setViewTransform();
    drawArena();
    drawHud();
  });

  // The worst frame: every pool full. Drawing moves the pools and the backdrop's waves,
  // so each drawing starts from the same copy, with the waves' carried phases set by a
  // backdrop drawn from it into nothing.
  testing::FillEveryPool();
  static testing::FrameSnapshot full;
  full.Take();
  ExpectSamePixels([] {
    Renderer& drawing = TheRenderer();
    RecordingRenderer nothing(false);
    SetRenderer(&nothing);
    full.Restore();
    drawBackdrop();
    SetRenderer(&drawing);
    full.Restore();
    seedRandom(3);
    testing::DrawPoolFrame();
  });
}

// Glows many times their picture's size, turned, some reaching out of the window: drawn
// only where their light shows, they blend little more than its disc, and the picture
// stays the same within a level.
TEST_F(BatchAgainstImmediate, LargeGlowsBlendOnlyWhereTheirLightShows) {
  const float scale = 4.0f;
  const auto glows = [scale] {
    SetBlendAdditive();
    SetColor(225, 180, 120, 255);
    const int32_t places[][2] = {{300, 250}, {500, 330}, {-60, 600}, {1200, 80}, {700, 500}};
    float angle = 7.0f;
    for (const auto& place : places) {
      DrawSprite(place[0], place[1], pictures.light, angle, scale);
      angle += 71.3f;
    }
  };
  ExpectSamePixels(glows);

  FragmentTally tally;
  batch_->SetTally(&tally);
  DrawWith(
      *batch_, [&] { DrawSprite(600, 300, pictures.light, 33.0f, scale); }, kWidth, kHeight);
  batch_->SetTally(nullptr);
  tally.EndFrame();
  const double square = 64.0 * scale * 64.0 * scale;
  const double covered = tally.Frames().front()[static_cast<size_t>(Layer::kGlows)].covered;
  EXPECT_LT(covered, 0.85 * square);
  EXPECT_GT(covered, 0.7 * square);
}

// Start-up draws every state once, to have it compiled before play: the frame it used is
// cleared, so the intro's first frame shows none of it, with either renderer.
TEST_F(BatchAgainstImmediate, WarmingUpLeavesNothingOnTheFrame) {
  for (Renderer* renderer :
       {static_cast<Renderer*>(renderer_.get()), static_cast<Renderer*>(batch_.get())}) {
    SetRenderer(renderer);
    renderer->SetUpWindow(kWidth, kHeight);
    renderer->ClearFrame();
    renderer->WarmUp(EveryTexture(pictures));
    batch_->Flush();
    EXPECT_EQ(LitPixels(), 0);
  }
}

// Frames of recorded games as the game drew them, in their own screen modes: the slowest
// frames of the longest game (big glows, obstacles, a thousand particles, titles), the
// busiest frame of each game and some ordinary ones. The batched renderer draws them with
// less work: the backdrop's tint as a clear, none of the lines beside the picture, the
// opaque masks over it unblended, and the large glows only over their light's disc.
TEST_F(BatchAgainstImmediate, RecordedGamesFramesMatchPixelForPixel) {
  const std::string replays = std::string(FENWHIT_SOURCE_DIR) + "/tests/replays/";
  const std::pair<const char*, std::set<int64_t>> games[] = {
      {"one-1366-long", {1000, 3038, 4424, 4640, 5109}},
      {"one-1366-esc", {2500, 4000}},
      {"two-720p", {1500}}};
  for (const auto& [name, numbers] : games) {
    const Pictures loaded = pictures;
    const testing::RecordedFrames recorded =
        testing::CatchFrames(replays + name + ".fwreplay", numbers);
    pictures = loaded;
    ASSERT_EQ(recorded.error, "") << name;
    ASSERT_EQ(recorded.frames.size(), numbers.size() + 1) << name;
    for (const testing::RecordedFrame& frame : recorded.frames) {
      SCOPED_TRACE(std::string(name) + " frame " + std::to_string(frame.number));
      ASSERT_TRUE(platform_->OpenWindow(frame.width, frame.height));
      FragmentTally tally;
      ExpectSamePixels([&] { testing::DrawRecordedFrame(frame, recorded.pictures, loaded); },
                       frame.width, frame.height, &tally);
      tally.EndFrame();
      const FramePixels& drawn = tally.Frames().front();
      const LayerPixels& backdrop = drawn[static_cast<size_t>(Layer::kBackdrop)];
      EXPECT_LT(backdrop.covered, 0.8 * frame.width * frame.height);
      EXPECT_LT(backdrop.primitives, 200);
      EXPECT_EQ(drawn[static_cast<size_t>(Layer::kMasks)].blended, 0);
    }
  }
}

}  // namespace
}  // namespace fenwhit
