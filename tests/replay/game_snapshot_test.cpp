// Saving and restoring the rules' state and its checksum: a restore brings back every value
// bit for bit, the checksum sees every field, and broken bytes change nothing.
#include "replay/game_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "events/event_catalogue.h"
#include "events/pool_records.h"
#include "game/frame_input.h"
#include "game/game_fixture.h"

namespace fenwhit {
namespace {

template <typename Field>
constexpr bool kIsText = std::is_same_v<std::remove_cvref_t<Field>, std::string_view>;

void FillRandom(void* object, size_t size, std::mt19937& bits) {
  auto* bytes = static_cast<unsigned char*>(object);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(bits());
}

// Random bits in every field, ball and pool record (stale fields of freed slots included),
// the same for the same seed. Texts and the values the game indexes with stay valid.
void Scramble(uint32_t seed) {
  std::mt19937 bits(seed);
  forEachGameField(game, [&](const char*, auto& field, GameText = GameText::kNone) {
    if constexpr (kIsText<decltype(field)>) {
      field = {};
    } else {
      FillRandom(&field, sizeof field, bits);
    }
  });
  game.eventTitle = findEvent(static_cast<int32_t>(1 + bits() % 32))->title;
  game.musicFileName = "Fenwhit.ogg";
  game.beatFileName = "BPM180.ogg";
  game.ballLast = static_cast<int32_t>(bits() % kBallPoolSize);
  FillRandom(balls, sizeof balls, bits);
  for (Ball& ball : balls) ball.kind = static_cast<BallKind>(bits() % 5);
  auto scramblePool = [&bits](auto& pool) {
    FillRandom(pool.slot, sizeof pool.slot, bits);
    pool.lowestMaybeFree = static_cast<int32_t>(bits() % (pool.kLast + 2));
  };
  scramblePool(obstacles);
  scramblePool(bricks);
  scramblePool(invaders);
  scramblePool(shots);
  scramblePool(particles);
}

class GameSnapshotTest : public GameTest {
 protected:
  void TearDown() override {
    // Scrambled stale fields would come back in the next test's spawns.
    game = GameState{};
    std::fill(std::begin(balls), std::end(balls), Ball{});
    obstacles = {};
    bricks = {};
    invaders = {};
    shots = {};
    particles = {};
    GameTest::TearDown();
  }
};

TEST_F(GameSnapshotTest, RestoreBringsBackEveryBitAndTheChecksum) {
  Scramble(1);
  // NaNs with payloads, a signalling one among them, come back bit for bit.
  game.tiltAngle = std::bit_cast<float>(0x7F800001u);
  game.zoom = std::bit_cast<double>(0xFFF8000000ABCDEFull);
  const EventEntry* breakout = findEvent(22);
  ASSERT_NE(breakout, nullptr);
  game.eventTitle = breakout->title;
  const std::vector<uint8_t> saved = SaveGameState();
  const uint64_t checksum = GameChecksum();

  Scramble(2);
  game.eventTitle = {};
  ASSERT_NE(SaveGameState(), saved);
  ASSERT_NE(GameChecksum(), checksum);
  {
    std::vector<uint8_t> copy = saved;
    ASSERT_TRUE(RestoreGameState(copy));
    std::fill(copy.begin(), copy.end(), 0);
  }
  EXPECT_EQ(SaveGameState(), saved);
  EXPECT_EQ(GameChecksum(), checksum);
  EXPECT_EQ(std::bit_cast<uint32_t>(game.tiltAngle), 0x7F800001u);
  EXPECT_EQ(std::bit_cast<uint64_t>(game.zoom), 0xFFF8000000ABCDEFull);
  // The view points at the game's own text, not into the bytes it came from.
  EXPECT_EQ(game.eventTitle.data(), breakout->title.data());
}

// Any change anywhere changes the checksum; where a text lies in memory does not.
TEST_F(GameSnapshotTest, ChecksumSeesEveryFieldAndOnlyTheTexts) {
#if defined(__has_builtin)
#if __has_builtin(__builtin_clear_padding)
  // Every byte of the game record that is not padding lies in exactly one listed field.
  alignas(GameState) unsigned char raw[sizeof(GameState)];
  auto* probe = new (raw) GameState;
  std::memset(static_cast<void*>(probe), 0xFF, sizeof(GameState));
  __builtin_clear_padding(probe);
  std::vector<int> listed(sizeof(GameState), 0);
  forEachGameField(*probe, [&](const char* name, const auto& field, GameText = GameText::kNone) {
    const auto offset = reinterpret_cast<const unsigned char*>(&field) - raw;
    for (size_t i = 0; i < sizeof field; ++i) {
      EXPECT_EQ(listed[offset + i]++, 0) << name << " overlaps another listed field";
    }
  });
  for (size_t i = 0; i < sizeof(GameState); ++i) {
    EXPECT_TRUE(listed[i] != 0 || raw[i] == 0) << "byte " << i << " of GameState is not listed";
  }
#endif
#endif

  Scramble(3);
  const uint64_t start = GameChecksum();
  forEachGameField(game, [&](const char* name, auto& field, GameText = GameText::kNone) {
    if constexpr (kIsText<decltype(field)>) {
      const std::string_view text = field;
      field = text.substr(1);
      EXPECT_NE(GameChecksum(), start) << name;
      field = text;
    } else {
      using Element = std::remove_all_extents_t<std::remove_cvref_t<decltype(field)>>;
      auto* elements = reinterpret_cast<unsigned char*>(&field);
      for (size_t at = 0; at < sizeof field; at += sizeof(Element)) {
        elements[at] ^= 1;
        EXPECT_NE(GameChecksum(), start) << name << " element " << at / sizeof(Element);
        elements[at] ^= 1;
      }
    }
  });
  // The pools beyond what the frame looks at, and stale fields of freed slots.
  const auto changes = [](auto& value) {
    const uint64_t was = GameChecksum();
    auto* byte = reinterpret_cast<unsigned char*>(&value);
    *byte ^= 1;
    const bool changed = GameChecksum() != was;
    *byte ^= 1;
    return changed;
  };
  EXPECT_TRUE(changes(balls[kBallPoolSize - 1].vy));
  EXPECT_TRUE(changes(obstacles.slot[kPoolSlots - 1].grownHeight));
  EXPECT_TRUE(changes(bricks.lowestMaybeFree));
  EXPECT_TRUE(changes(invaders.slot[0].vx));
  EXPECT_TRUE(changes(shots.slot[kPoolLast].y));
  particles.release(7);
  EXPECT_TRUE(changes(particles.slot[7].blue));

  const uint64_t was = GameChecksum();
  const std::string title(game.eventTitle);
  const std::string beatFile(game.beatFileName);
  game.eventTitle = title;
  game.beatFileName = beatFile;
  EXPECT_EQ(GameChecksum(), was);
}

TEST_F(GameSnapshotTest, RestoreRefusesBrokenBytesAndChangesNothing) {
  const auto savedWith = [](auto change) {
    Scramble(4);
    change();
    return SaveGameState();
  };
  const std::vector<uint8_t> good = savedWith([] { game.eventTitle = "BREAKOUT"; });
  const std::vector<std::vector<uint8_t>> refused = {
      savedWith([] { game.eventTitle = "BREAKOUR"; }),
      savedWith([] { game.musicFileName = "BPM180.ogg"; }),
      savedWith([] { game.ballLast = kBallPoolSize; }),
      savedWith([] { balls[9].kind = static_cast<BallKind>(5); }),
      savedWith([] { shots.lowestMaybeFree = -1; }),
      savedWith([] { particles.lowestMaybeFree = particleLast + 2; }),
  };
  const auto title =
      std::search(good.begin(), good.end(), std::begin("BREAKOUT"), std::end("BREAKOUT") - 1);
  ASSERT_NE(title, good.end());
  const auto inTitle = static_cast<size_t>(title - good.begin()) + 3;

  Scramble(5);
  const std::vector<uint8_t> before = SaveGameState();
  std::vector<uint8_t> otherVersion = good;
  otherVersion[0] ^= 1;
  EXPECT_FALSE(RestoreGameState(otherVersion));
  for (size_t size :
       {size_t{0}, size_t{3}, size_t{4}, size_t{100}, inTitle, good.size() / 2, good.size() - 1}) {
    EXPECT_FALSE(RestoreGameState(std::span(good.data(), size))) << size;
  }
  std::vector<uint8_t> trailing = good;
  trailing.push_back(0);
  EXPECT_FALSE(RestoreGameState(trailing));
  for (size_t i = 0; i < refused.size(); ++i) EXPECT_FALSE(RestoreGameState(refused[i])) << i;
  EXPECT_EQ(SaveGameState(), before);

  EXPECT_TRUE(RestoreGameState(good));
  EXPECT_EQ(SaveGameState(), good);
}

// Every text a real game points at restores: the start's, every event title and the cancel.
TEST_F(GameSnapshotTest, EveryTextAGameSetsRestores) {
  startGame(1);
  const auto restoresAsItWas = [] {
    const std::vector<uint8_t> saved = SaveGameState();
    return RestoreGameState(saved) && SaveGameState() == saved;
  };
  EXPECT_TRUE(restoresAsItWas());
  EXPECT_FALSE(game.musicFileName.empty());
  EXPECT_FALSE(game.beatFileName.empty());
  for (int32_t number = 0; number <= kLastEventNumber; ++number) {
    const EventEntry* entry = findEvent(number);
    if (entry == nullptr) continue;
    game.eventTitle = entry->title;
    EXPECT_TRUE(restoresAsItWas()) << entry->title;
  }
  game.cancelLatch = 0;
  platform.Press(scan::kSpace);
  cancelEvent(0);
  ASSERT_EQ(game.eventNumber, kCancelledEvent);
  EXPECT_TRUE(restoresAsItWas()) << game.eventTitle;
}

}  // namespace
}  // namespace fenwhit
