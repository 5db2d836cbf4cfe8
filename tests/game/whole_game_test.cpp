// One whole game through the real program: menu, play until the last ball is lost,
// the ending, and back to the menu, which Esc then leaves.
#include <gtest/gtest.h>

#include <string>

#include "audio/sound_ids.h"
#include "game/game_state.h"
#include "support/program_harness.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::ProgramHarness;

SoundHandle OpenedHandle(const RecordingSoundDevice& sound, const std::string& file) {
  for (const SoundCall& call : sound.CallsOf("open")) {
    if (call.path.size() >= file.size() &&
        call.path.compare(call.path.size() - file.size(), file.size(), file) == 0) {
      return call.handle;
    }
  }
  return -1;
}

TEST(WholeGame, PlayedFromTheMenuToItsEndAndBack) {
  ProgramHarness harness;
  menu.menuIndex = 0;
  int gameOverPump = -1;
  int backInMenuPump = -1;
  int32_t scoreAtEnd = -1;
  const int status = harness.Run([&](TestPlatform& p, int pump) {
    if (pump == 0) p.Press(scan::kSpace);
    if (pump == 1) p.Release(scan::kSpace);
    if (gameOverPump < 0 && game.gameOver == 1) {
      gameOverPump = pump;
      scoreAtEnd = game.score;
    }
    // Back in the menu once the state has been reset after the ending.
    if (gameOverPump >= 0 && backInMenuPump < 0 && game.gameOver == 0) {
      backInMenuPump = pump;
      p.Press(scan::kEsc);
    }
    // A ball kept in play for ever would hang the test: end the game by key instead.
    if (pump == 30000 && gameOverPump < 0) p.Press(scan::kEsc);
  });
  EXPECT_EQ(status, 0);
  ASSERT_GT(gameOverPump, 0);
  ASSERT_GT(backInMenuPump, gameOverPump);
  EXPECT_GE(backInMenuPump - gameOverPump, 100);
  EXPECT_GT(scoreAtEnd, 0);
  EXPECT_EQ(game.lastScore, scoreAtEnd);

  const RecordingSoundDevice& sound = harness.sound;
  const SoundHandle beat = OpenedHandle(sound, "BPM180.ogg");
  const SoundHandle music = OpenedHandle(sound, "Fenwhit.ogg");
  SoundHandle explosion = -1;
  for (const SoundCall& call : sound.CallsOf("load")) {
    if (call.value == sound::kExplosion) explosion = call.handle;
  }
  ASSERT_GT(beat, 0);
  ASSERT_GT(music, 0);
  ASSERT_GT(explosion, 0);

  // In order: beat track stopped, explosion, music faded to silence, stopped, closed.
  const auto calls = sound.Calls();
  size_t i = 0;
  auto findFrom = [&](auto matches) {
    while (i < calls.size() && !matches(calls[i])) ++i;
    return i < calls.size();
  };
  ASSERT_TRUE(
      findFrom([&](const SoundCall& c) { return c.op == "stream_stop" && c.handle == beat; }));
  ASSERT_TRUE(
      findFrom([&](const SoundCall& c) { return c.op == "play" && c.handle == explosion; }));
  ASSERT_TRUE(findFrom([](const SoundCall& c) {
    return c.op == "volume" && c.channel == sound::kGameMusicChannel && c.value == 0;
  }));
  ASSERT_TRUE(
      findFrom([&](const SoundCall& c) { return c.op == "stream_stop" && c.handle == music; }));
  ASSERT_TRUE(
      findFrom([&](const SoundCall& c) { return c.op == "stream_close" && c.handle == music; }));
}

}  // namespace
}  // namespace fenwhit
