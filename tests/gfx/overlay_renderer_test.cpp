// The renderer that keeps the last frame for the pause screen and draws overlays: the game's
// calls reach the window unchanged, overlays leave no trace in the game's state, and the
// kept frame comes back exactly as it was drawn.
#include "gfx/overlay_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/batch_renderer.h"
#include "gfx/draw.h"
#include "gfx/recording_renderer.h"
#include "gfx/sprites.h"
#include "support/gl_fixture.h"

namespace fenwhit {
namespace {

std::string Describe(const DrawCall& call) {
  std::ostringstream out;
  out.precision(9);
  out << call.op;
  for (int i : call.ints) out << ' ' << i;
  for (float f : call.floats) out << ' ' << f;
  if (call.textureName != 0) out << " t" << call.textureName;
  return out.str();
}

std::vector<std::string> Describe(const std::vector<DrawCall>& calls, size_t from = 0,
                                  size_t to = SIZE_MAX) {
  std::vector<std::string> out;
  for (size_t i = from; i < calls.size() && i < to; ++i) out.push_back(Describe(calls[i]));
  return out;
}

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// Two game frames in the game's order; the second starts with the blend and colour the
// first left and draws before setting any. The next frame's transform is set last.
void PlayTwoFrames(const Texture& ball) {
  SetBlendAdditive();
  SetColor(10, 20, 30, 255);
  FillRect(1, 2, 3, 4);
  PresentFrame();
  ClearFrame();
  SetSceneTransformXY(5.5f, 0.9f, 0.8f, 3, -2);
  FillRect(40, 50, 60, 70);
  SetBlendAlpha();
  SetColor(200, 100, 50, 255);
  DrawSprite(300, 200, ball, 33.25f, 1.5f);
  DrawLine(0, 1, 500, 400, 2.5f);
  DrawSpriteRegion(10, 20, 8, 16, 32, 24, ball, 0.75f);
  FillRectCorners(9, 8, 7, 6);
  PresentFrame();
  ClearFrame();
  SetSceneTransform(1.5f, 0.7f, 4, 5);
}

TEST(OverlayRenderer, PassesCallsOnKeepsTheFrameAndHidesOverlaysAndThePauseScreen) {
  RecordingRenderer direct;
  SetRenderer(&direct);
  direct.SetUpWindow(1024, 768);
  PlayTwoFrames(direct.CreateTexture(nullptr, 0));

  RecordingRenderer inner;
  OverlayRenderer overlay(inner);
  SetRenderer(&overlay);
  int overlaysRun = 0;
  overlay.AddOverlay([&] {
    ++overlaysRun;
    SetBlendAlpha();
    SetColor(0, 0, 0, 128);
    FillRect(900, 10, 100, 20);
    PresentFrame();  // must neither recurse nor show a half-drawn frame
  });
  overlay.SetUpWindow(1024, 768);
  EXPECT_FALSE(overlay.HasLastFrame());
  PlayTwoFrames(overlay.CreateTexture(nullptr, 0));

  // The game's calls pass unchanged; before each present the overlay draws and the blend,
  // colour and scene transform the game left are put back.
  const std::vector<std::string> game = Describe(direct.Calls());
  const std::vector<std::string> overlayDrawing = {"blend_alpha", "color 0 0 0 128",
                                                   "fill_rect 900 10 100 20"};
  const std::vector<std::string> frame1 = Describe(direct.Calls(), 7, 15);
  ASSERT_EQ(game.size(), 18u);
  ASSERT_EQ(game[5], "present");
  ASSERT_EQ(game[7], "scene_xy 3 -2 5.5 0.899999976 0.800000012");
  ASSERT_EQ(game[15], "present");
  const std::string nextTransform = game[17];
  EXPECT_EQ(Describe(inner.Calls()), Concat({{game.begin(), game.begin() + 5},
                                             overlayDrawing,
                                             {"blend_additive", "color 10 20 30 255"},
                                             {"scene_reset"},
                                             {game.begin() + 5, game.begin() + 15},
                                             overlayDrawing,
                                             {"blend_alpha", "color 200 100 50 255"},
                                             {"scene_reset", game[7]},
                                             {game.begin() + 15, game.end()}}));
  EXPECT_EQ(overlaysRun, 2);
  EXPECT_EQ(inner.Presented(), 2);
  EXPECT_TRUE(overlay.HasLastFrame());

  // Paused after the next frame set its transform: the kept frame is drawn from the
  // blend and colour it began with, that transform undone.
  const std::vector<std::string> replay =
      Concat({{"clear", "blend_additive", "color 10 20 30 255"}, frame1});
  const std::vector<std::string> backToTheGame = {
      "present", "clear", "blend_alpha", "color 200 100 50 255", "scene_reset", nextTransform};
  for (int pauseFrame = 0; pauseFrame < 2; ++pauseFrame) {
    inner.ClearCalls();
    overlay.DrawLastFrame();
    SetBlendAlpha();
    SetColor(0, 0, 0, 160);
    FillRect(0, 0, 1024, 768);
    overlay.PresentOwnFrame();
    EXPECT_EQ(
        Describe(inner.Calls()),
        Concat(
            {replay, {"blend_alpha", "color 0 0 0 160", "fill_rect 0 0 1024 768"}, backToTheGame}))
        << "pause frame " << pauseFrame;
  }
  EXPECT_EQ(overlaysRun, 2);
  EXPECT_TRUE(overlay.HasLastFrame());

  // Resumed: the frame kept next is the game's alone, the pause screen's dimming left out.
  FillRect(7, 7, 7, 7);
  PresentFrame();
  ClearFrame();
  EXPECT_EQ(overlaysRun, 3);
  inner.ClearCalls();
  overlay.DrawLastFrame();
  EXPECT_EQ(Describe(inner.Calls()),
            (std::vector<std::string>{"clear", "blend_alpha", "color 200 100 50 255", nextTransform,
                                      "fill_rect 7 7 7 7"}));

  // A new window: nothing to draw again.
  overlay.SetUpWindow(1280, 720);
  EXPECT_FALSE(overlay.HasLastFrame());
  inner.ClearCalls();
  overlay.DrawLastFrame();
  EXPECT_TRUE(inner.Calls().empty());
  SetRenderer(nullptr);
}

TEST(OverlayRenderer, ATransformUndoneStaysUndoneAndOverlaysAddedByOverlaysRunNextFrame) {
  RecordingRenderer inner;
  OverlayRenderer overlay(inner);
  SetRenderer(&overlay);
  overlay.SetUpWindow(1024, 768);
  int laterRuns = 0;
  bool added = false;
  overlay.AddOverlay([&] {
    if (added) return;
    added = true;
    overlay.AddOverlay([&] { ++laterRuns; });
  });
  // The scene's transform undone part-way through the frame, to draw on top of it: the
  // overlays leave it undone.
  SetSceneTransform(30.0f, 2.0f, 5, 6);
  FillRect(0, 0, 2, 2);
  ResetSceneTransform();
  FillRect(3, 3, 2, 2);
  inner.ClearCalls();
  PresentFrame();
  ClearFrame();
  EXPECT_TRUE(inner.CallsOf("scene").empty());
  EXPECT_EQ(laterRuns, 0);
  PresentFrame();
  ClearFrame();
  EXPECT_EQ(laterRuns, 1);
  SetRenderer(nullptr);
}

class OverlayRendererOnGl : public testing::GlTest {};

TEST_F(OverlayRendererOnGl, DrawsTheKeptFrameAgainPixelForPixel) {
  BatchRenderer batch(*platform_);
  OverlayRenderer overlay(batch);
  SetRenderer(&overlay);
  overlay.SetUpWindow(kWidth, kHeight);
  // Covers the whole window: drawn again, it would hide everything.
  overlay.AddOverlay([] {
    SetBlendAlpha();
    SetColor(255, 0, 0, 255);
    FillRect(-2000, -2000, 6000, 6000);
  });
  const std::optional<Image> picture =
      DecodePng(std::string(FENWHIT_SOURCE_DIR) + "/assets/metalball2.png");
  ASSERT_TRUE(picture.has_value());
  const Texture ball = CreateTexture(picture, 0);

  ClearFrame();
  SetBlendAdditive();
  SetColor(90, 160, 220, 255);
  PresentFrame();
  ClearFrame();
  SetSceneTransformXY(12.0f, 0.8f, 0.7f, 20, -10);
  DrawSprite(300, 200, ball, 30.0f, 4.0f);
  FillRect(100, 100, 300, 50);
  SetBlendAlpha();
  SetColor(255, 255, 255, 128);
  DrawLine(0, 0, 1000, 700, 3.0f);
  DrawSpriteRegion(600, 300, 4, 4, 20, 20, ball, 5.0f);
  batch.Flush();
  const std::vector<uint8_t> drawn = AllPixels();
  PresentFrame();
  ClearFrame();
  SetSceneTransform(45.0f, 1.3f, 0, 0);

  overlay.DrawLastFrame();
  batch.Flush();
  const std::vector<uint8_t> again = AllPixels();
  int lit = 0;
  int differing = 0;
  for (size_t i = 0; i < drawn.size(); i += 4) {
    lit += drawn[i] != 0 || drawn[i + 1] != 0 || drawn[i + 2] != 0;
    differing += !std::equal(&drawn[i], &drawn[i + 4], &again[i]);
  }
  EXPECT_GT(lit, 10000);
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace fenwhit
