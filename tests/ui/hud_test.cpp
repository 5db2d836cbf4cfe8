// The score line as the recording renderer sees it: one glyph region per character.
#include "ui/hud.h"

#include <string>

#include "events/pool_fixture.h"
#include "gfx/draw.h"

namespace fenwhit {
namespace {

struct Text {
  int x = 0;
  int y = 0;
  float scale = 0;
  std::string chars;
};

class HudTest : public PoolTest {
 protected:
  // Groups consecutive glyph regions of one scale into texts.
  std::vector<Text> DrawnTexts() const {
    std::vector<Text> texts;
    for (const DrawCall& call : renderer.CallsOf("region")) {
      const char c = static_cast<char>(call.ints[3] / 64 * 16 + call.ints[2] / 32);
      if (texts.empty() || texts.back().scale != call.floats[0] ||
          (texts.back().chars.size() == 1 && call.floats[0] == 2.0f)) {
        texts.push_back({call.ints[0], call.ints[1], call.floats[0], {}});
      }
      texts.back().chars += c;
    }
    return texts;
  }
  std::vector<std::vector<int>> Colours() const {
    std::vector<std::vector<int>> colours;
    for (const DrawCall& call : renderer.CallsOf("color")) colours.push_back(call.ints);
    return colours;
  }
};

const std::string kLabels = " LIVES:                  CANCEL:              ";

TEST_F(HudTest, StartArenaPlacesLabelsMarksAndScore) {
  game.score = 1234;
  renderer.ClearCalls();
  drawHud();
  const auto texts = DrawnTexts();
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(texts[0].chars, kLabels);
  EXPECT_EQ(texts[0].scale, 1.2f);
  EXPECT_EQ(std::pair(texts[0].x, texts[0].y), std::pair(140, -100));
  EXPECT_EQ(texts[1].chars, ")");
  EXPECT_EQ(std::pair(texts[1].x, texts[1].y), std::pair(420, -100));
  EXPECT_EQ(std::pair(texts[2].x, texts[2].y), std::pair(468, -100));
  EXPECT_EQ(texts[3].chars, "(");
  EXPECT_EQ(std::pair(texts[3].x, texts[3].y), std::pair(1356, -100));
  EXPECT_EQ(std::pair(texts[4].x, texts[4].y), std::pair(1404, -100));
  EXPECT_EQ(texts[5].chars, " SCORE: 1234    ");
  EXPECT_EQ(texts[5].scale, 1.0f);
  EXPECT_EQ(std::pair(texts[5].x, texts[5].y), std::pair(140, -56));
  EXPECT_EQ(
      Colours(),
      (std::vector<std::vector<int>>{
          {255, 255, 255, 255}, {255, 20, 10, 255}, {75, 170, 255, 255}, {255, 255, 255, 255}}));
  EXPECT_EQ(renderer.Calls()[0].op, "blend_additive");
}

TEST_F(HudTest, JitterMovesEachPartByItsOwnOffsets) {
  game.hudJitter[0] = 10;
  game.hudJitter[1] = -20;
  game.hudJitter[2] = 30;
  game.hudJitter[3] = -200;
  game.wallLeft = 100;
  game.wallTop = 50;
  renderer.ClearCalls();
  drawHud();
  const auto texts = DrawnTexts();
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(std::pair(texts[0].x, texts[0].y), std::pair(140, -80));    // 0 and 1
  EXPECT_EQ(std::pair(texts[1].x, texts[1].y), std::pair(440, -260));   // 2 and 3
  EXPECT_EQ(std::pair(texts[3].x, texts[3].y), std::pair(1356, -260));  // 0 and 3
  EXPECT_EQ(std::pair(texts[5].x, texts[5].y), std::pair(110, 14));     // 1 and 2
}

TEST_F(HudTest, NoMarksForNoLivesOrCancelsAndNothingOnceTheGameIsOver) {
  game.lives = 0;
  game.cancels = 0;
  game.score = -7;
  renderer.ClearCalls();
  drawHud();
  const auto texts = DrawnTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].chars, kLabels);
  EXPECT_EQ(texts[1].chars, " SCORE: -7    ");
  EXPECT_EQ(Colours().size(), 2u);

  // One of each: one mark each.
  game.lives = 1;
  game.cancels = 1;
  renderer.ClearCalls();
  drawHud();
  ASSERT_EQ(DrawnTexts().size(), 4u);
  EXPECT_EQ(DrawnTexts()[1].chars, ")");
  EXPECT_EQ(DrawnTexts()[2].chars, "(");

  game.gameOver = 1;
  renderer.ClearCalls();
  drawHud();
  EXPECT_TRUE(renderer.Calls().empty());
}

TEST_F(HudTest, OneBallEarnsThirteenPerFrameAndTheLineShowsTheNewScore) {
  PlaceBall(0, BallKind::Normal, 600, 300);
  RunFrames(9);
  renderer.ClearCalls();
  RunFrames(1);
  EXPECT_EQ(game.score, 130);
  EXPECT_EQ(DrawnTexts().back().chars, " SCORE: 130    ");

  // Once the last normal ball is lost the score stops and the HUD is gone.
  balls[0].kind = BallKind::Ghost;
  RunFrames(1);
  renderer.ClearCalls();
  RunFrames(5);
  EXPECT_EQ(game.score, 130);
  for (const Text& text : DrawnTexts()) EXPECT_EQ(text.chars.find("SCORE"), std::string::npos);
}

TEST_F(HudTest, ABonusLifeShowsItsMarkFromTheNextFrame) {
  PlaceBall(0, BallKind::Normal, 600, 300);
  game.score = 150000 - 12;  // this frame's 13 points pass the first threshold
  auto marks = [this] {
    renderer.ClearCalls();
    RunFrames(1);
    int count = 0;
    for (const Text& text : DrawnTexts()) count += text.chars == ")";
    return count;
  };
  EXPECT_EQ(marks(), 2);
  EXPECT_EQ(game.lives, 3);
  EXPECT_EQ(marks(), 3);
}

}  // namespace
}  // namespace fenwhit
