#include "game/arena.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "common/calm_flashes.h"
#include "game/approach.h"
#include "game/backdrop.h"
#include "game/game_fixture.h"
#include "gfx/pictures.h"

namespace fenwhit {
namespace {

using ArenaTest = GameTest;

TEST_F(ArenaTest, ApproachStopsWithinOneStepAndNeverOscillates) {
  // From below: overshoots and steps back, resting one short of a target 3 away.
  game.wallRightTarget = game.wallRight + 3;
  for (int frame = 0; frame < 10; ++frame) approachTargets();
  EXPECT_EQ(game.wallRight, game.wallRightTarget - 1);

  // From above: down to the first value not greater than the target, then still.
  game.wallTopTarget = game.wallTop - 3;
  for (int frame = 0; frame < 10; ++frame) approachTargets();
  EXPECT_EQ(game.wallTop, game.wallTopTarget - 1);

  int value = 7;
  approach(value, 7, 2);
  EXPECT_EQ(value, 7);

  // A paddle shrinks by 3 a frame.
  game.paddleLengthTarget = 148;
  approachTargets();
  EXPECT_EQ(game.paddleLength, 157);
}

TEST_F(ArenaTest, ZoomReachesItsTargetInAHundredFramesAndStays) {
  game.zoom = 1.0;
  game.zoomTarget = 0.7;
  game.zoomStep = 0.003;
  for (int frame = 0; frame < 100; ++frame) approachTargets();
  EXPECT_NEAR(game.zoom, 0.7, 0.003);
  for (int frame = 0; frame < 50; ++frame) approachTargets();
  EXPECT_NEAR(game.zoom, 0.7, 0.003);
}

TEST_F(ArenaTest, PaddlesAreClampedIntoTheArena) {
  // Longer than the arena is high: aligned with the top wall, sticking out below.
  game.paddleLength = 900;
  game.paddleY[0] = 300;
  game.paddleY[1] = -50;
  clampPaddles();
  EXPECT_EQ(game.paddleY[0], game.wallTop);
  EXPECT_EQ(game.paddleY[1], game.wallTop);

  // At the bottom it ends exactly on the wall; shrinking keeps its top edge.
  game.paddleLength = 160;
  game.paddleY[0] = 2000;
  clampPaddles();
  EXPECT_EQ(game.paddleY[0] + game.paddleLength, game.wallBottom);
  const int32_t top = game.paddleY[0];
  game.paddleLength = 100;
  clampPaddles();
  EXPECT_EQ(game.paddleY[0], top);
}

TEST_F(ArenaTest, ViewScaleHasAFloorAndSqueezeAppliesAfterIt) {
  game.viewJitter = 1;
  game.zoom = 0.001;
  game.squeezeX = 0.02;
  game.squeezeY = -0.5;
  for (int frame = 0; frame < 20; ++frame) setViewTransform();
  const auto scenes = renderer.CallsOf("scene_xy");
  ASSERT_EQ(scenes.size(), 20u);
  for (const DrawCall& call : scenes) {
    EXPECT_FLOAT_EQ(call.floats[1], static_cast<float>(0.07 - 0.02));
    EXPECT_FLOAT_EQ(call.floats[2], static_cast<float>(0.07 + 0.5));
    // Jitter adds up to 7 degrees to an unturned view.
    EXPECT_GE(call.floats[0], 0.0f);
    EXPECT_LT(call.floats[0], 7.0f);
  }

  game.viewJitter = 0;
  game.zoom = 0.9;
  game.tiltAngle = 10;
  game.spinAngle = 5;
  game.squeezeX = game.squeezeY = 0;
  renderer.ClearCalls();
  setViewTransform();
  const DrawCall plain = renderer.CallsOf("scene_xy").at(0);
  EXPECT_FLOAT_EQ(plain.floats[0], 15.0f);
  EXPECT_FLOAT_EQ(plain.floats[1], 0.9f);
}

TEST_F(ArenaTest, WaveLinesFormAStraightGridWithoutAmplitude) {
  game.waveAmplitude = 0;
  drawBackdrop();
  const auto lines = renderer.CallsOf("line");
  ASSERT_EQ(lines.size(), 2u * 701u);
  for (size_t i = 0; i < 701; ++i) {
    const int x = -14000 + 40 * static_cast<int>(i);
    EXPECT_EQ(lines[i].ints, (std::vector<int>{x, -20000, x, 20000}));
    EXPECT_EQ(lines[i].floats[0], 5.0f);
  }
  EXPECT_EQ(lines[701].ints, (std::vector<int>{-20000, -14000, 20000, -14000}));

  renderer.ClearCalls();
  drawWaveLines(140, 4.0f);
  EXPECT_EQ(renderer.CallsOf("line").size(), 2u * 201u);
}

TEST_F(ArenaTest, WaveLinesBendWithinTheirAmplitude) {
  game.waveAmplitude = 30;
  for (int frame = 0; frame < 3; ++frame) drawWaveLines(40, 5.0f);
  bool bent = false;
  const auto lines = renderer.CallsOf("line");
  ASSERT_EQ(lines.size(), 3u * 1402u);
  for (size_t i = 0; i < 701; ++i) {
    const DrawCall& line = lines[2 * 1402 + i];
    const int x = -14000 + 40 * static_cast<int>(i);
    EXPECT_LE(std::abs(line.ints[0] - x), 30);
    EXPECT_LE(std::abs(line.ints[2] - x), 30);
    bent = bent || line.ints[0] != x;
  }
  EXPECT_TRUE(bent);
}

TEST_F(ArenaTest, WallsPaddlesAndGlowsAreDrawnWhereThePlayerExpectsThem) {
  const Texture light = pictures.light;
  pictures.light = Texture{64, 64, 91};
  game.twoPaddles = 1;
  game.paddleY[0] = 100;
  game.paddleY[1] = 400;
  renderer.ClearCalls();
  drawArena();
  pictures.light = light;

  std::set<std::vector<int>> lines;
  for (const DrawCall& call : renderer.CallsOf("line")) lines.insert(call.ints);
  for (const std::vector<int>& wall :
       {std::vector<int>{110, 10, 1170, 10}, {1170, 10, 1170, 710}, {110, 710, 1170, 710}}) {
    EXPECT_EQ(lines.count(wall), 1u)
        << wall[0] << "," << wall[1] << " " << wall[2] << "," << wall[3];
  }
  // Paddle one red, paddle two green, each 20 wide.
  std::vector<std::vector<int>> paddles;
  std::vector<int> colour;
  for (const DrawCall& call : renderer.Calls()) {
    if (call.op == "color") colour = call.ints;
    if (call.op == "fill_corners" && call.ints[2] == 130) {
      paddles.push_back(call.ints);
      paddles.push_back(colour);
    }
  }
  EXPECT_EQ(
      paddles,
      (std::vector<std::vector<int>>{
          {110, 100, 130, 260}, {255, 20, 10, 255}, {110, 400, 130, 560}, {10, 255, 20, 255}}));
  // Glows centred on the arena's corners and the paddles' ends, the second paddle's small.
  std::multiset<std::vector<int>> glows;
  for (const DrawCall& call : renderer.CallsOf("sprite")) {
    if (call.textureName != 91) continue;
    glows.insert({call.ints[0] + 32, call.ints[1] + 32, static_cast<int>(call.floats[1])});
  }
  EXPECT_EQ(glows, (std::multiset<std::vector<int>>{{110, 10, 2},
                                                    {1170, 10, 2},
                                                    {110, 710, 2},
                                                    {1170, 710, 2},
                                                    {110, 100, 2},
                                                    {130, 100, 2},
                                                    {130, 260, 2},
                                                    {110, 260, 2},
                                                    {110, 400, 1},
                                                    {130, 400, 1},
                                                    {130, 560, 1},
                                                    {110, 560, 1}}));
}

TEST_F(ArenaTest, TheBackdropWavesFromTheNinthEventTintsFromTheFourteenthGoesWildAtThe28th) {
  PlaceBall(0, BallKind::Normal, 600, 300);
  game.waveAmplitude = game.waveAmplitudeTarget = 50;
  game.bgColour[0] = 200;
  game.eventCount = 8;
  RunFrames(1);
  EXPECT_FLOAT_EQ(game.waveAmplitude, 0);
  EXPECT_EQ(game.bgColour[0], 128);

  game.eventCount = 9;
  game.waveAmplitudeTarget = 31;
  game.bgColourTarget[0] = 0;
  RunFrames(2);
  EXPECT_FLOAT_EQ(game.waveAmplitude, 2);
  EXPECT_EQ(game.bgColour[0], 128);

  game.eventCount = 14;
  game.bgColourTarget[0] = 0;
  RunFrames(2);
  EXPECT_EQ(game.bgColour[0], 108);

  game.eventCount = 28;
  RunFrames(1);
  EXPECT_FLOAT_EQ(game.waveAmplitude, 321);
  EXPECT_FLOAT_EQ(game.waveAmplitudeTarget, 420);
}

TEST_F(ArenaTest, BackdropTintFollowsTheBeatOnlyWhenFlashing) {
  game.bgColour[0] = 100;
  game.bgColour[1] = 52;
  game.bgColour[2] = 0;
  beatFlash.store(200);
  drawBackdrop();
  EXPECT_EQ(renderer.CallsOf("color").at(0).ints, (std::vector<int>{20, 10, 0, 255}));
  renderer.ClearCalls();
  game.flashColours = 1;
  drawBackdrop();
  EXPECT_EQ(renderer.CallsOf("color").at(0).ints, (std::vector<int>{100, 84, 67, 255}));

  // A beat's flash falls by 15 a frame: gone in the seventeenth.
  PlaceBall(0, BallKind::Normal, 600, 300);
  beatFlash.store(255);
  RunFrames(1);
  EXPECT_EQ(beatFlash.load(), 240);
  RunFrames(15);
  EXPECT_EQ(beatFlash.load(), 15);
  RunFrames(1);
  EXPECT_EQ(beatFlash.load(), 0);
  RunFrames(1);
  EXPECT_EQ(beatFlash.load(), 0);
  // The menu picture left at full brightness fades out by 3 a frame.
  EXPECT_EQ(game.fadeLevel, 0);
  game.fadeLevel = 252;
  RunFrames(1);
  EXPECT_EQ(game.fadeLevel, 249);
  RunFrames(82);
  EXPECT_EQ(game.fadeLevel, 3);
  RunFrames(1);
  EXPECT_EQ(game.fadeLevel, 0);
}

TEST_F(ArenaTest, CalmFadesTheWhiteBackdropInAndSwaysTheShakingView) {
  // An event's application turns the backdrop white, and it settles 10 a frame: the
  // brightest tint drawn over the frames after it, full and calm.
  auto brightestAfterApplication = [this](bool calm) {
    calmFlashes = calm;
    game.bgColour[0] = game.bgColourTarget[0] = 0;
    drawBackdrop();
    game.bgColour[0] = 255;
    int brightest = 0;
    for (int frame = 0; frame < 40; ++frame) {
      renderer.ClearCalls();
      drawBackdrop();
      brightest = std::max(brightest, renderer.CallsOf("color").at(0).ints[0]);
      if (frame == 0) {
        EXPECT_EQ(brightest, calm ? 1 : 51);  // calm does not cut to white
      }
      approachTargets();
    }
    calmFlashes = false;
    return brightest;
  };
  EXPECT_EQ(brightestAfterApplication(false), 51);
  EXPECT_LE(brightestAfterApplication(true), 12);

  // DISTRACTION throws the view up to 7 degrees each frame; calm sways it instead, and
  // takes the same random numbers, so a replay plays the same either way.
  auto largestTurnBetweenFrames = [this](bool calm) {
    calmFlashes = calm;
    seedRandom(3);
    game.viewJitter = 1;
    renderer.ClearCalls();
    for (int frame = 0; frame < 60; ++frame) setViewTransform();
    const auto scenes = renderer.CallsOf("scene_xy");
    float largest = 0;
    for (size_t i = 1; i < scenes.size(); ++i) {
      largest = std::max(largest, std::fabs(scenes[i].floats[0] - scenes[i - 1].floats[0]));
    }
    calmFlashes = false;
    return std::make_pair(largest, randomUnit());
  };
  const auto full = largestTurnBetweenFrames(false);
  const auto calm = largestTurnBetweenFrames(true);
  EXPECT_GT(full.first, 5.0f);
  EXPECT_LT(calm.first, 1.0f);
  EXPECT_EQ(calm.second, full.second);
}

}  // namespace
}  // namespace fenwhit
