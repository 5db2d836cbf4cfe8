#include "replay/game_snapshot.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

#include "events/event_catalogue.h"
#include "events/pool_records.h"
#include "game/balls.h"

namespace fenwhit {

namespace {

// Numbers are kept as they lie in memory: every machine the game builds for is
// little-endian, so the bytes are the same everywhere.
static_assert(std::endian::native == std::endian::little);

// A field added to GameState must be added to forEachGameField (game_snapshot.h) as well;
// this fires when the record changes size, as the reminder.
static_assert(sizeof(GameState) == 496, "add the new field to forEachGameField, then update");

// Balls and pool records hold nothing but 4-byte fields, so they have no padding and are
// copied whole. (Their floats keep has_unique_object_representations from saying so.)
static_assert(sizeof(Ball) == 7 * 4 && sizeof(BallKind) == 4);
static_assert(sizeof(Obstacle) == 9 * 4);
static_assert(sizeof(Brick) == 6 * 4);
static_assert(sizeof(Invader) == 5 * 4);
static_assert(sizeof(Shot) == 5 * 4);
static_assert(sizeof(Particle) == 9 * 4);
static_assert(std::is_trivially_copyable_v<Ball>);

template <typename Visit>
void forEachPool(Visit&& visit) {
  visit(obstacles);
  visit(bricks);
  visit(invaders);
  visit(shots);
  visit(particles);
}
constexpr size_t kPoolCount = 5;

template <typename Pool>
constexpr bool kPacked = std::is_trivially_copyable_v<Pool> &&
                         sizeof(Pool) == sizeof(Pool::slot) + sizeof(int32_t);
static_assert(kPacked<decltype(obstacles)> && kPacked<decltype(bricks)> &&
              kPacked<decltype(invaders)> && kPacked<decltype(shots)> &&
              kPacked<decltype(particles)>);

template <typename T>
constexpr bool kIsText = std::is_same_v<std::remove_cvref_t<T>, std::string_view>;

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

constexpr uint64_t fnvMix(uint64_t hash, uint8_t byte) {
  return (hash ^ byte) * kFnvPrime;
}

// Names, sizes and kinds of everything saved, so that bytes of another version (a field
// added, moved or retyped) are refused rather than misread.
constexpr uint32_t computeLayoutCode() {
  uint64_t hash = kFnvOffset;
  auto mix = [&hash](uint64_t value) {
    for (int i = 0; i < 8; ++i) hash = fnvMix(hash, static_cast<uint8_t>(value >> (8 * i)));
  };
  auto mixField = [&](const char* name, const auto& field, GameText text = GameText::kNone) {
    using Field = std::remove_cvref_t<decltype(field)>;
    for (const char* c = name; *c != 0; ++c) hash = fnvMix(hash, static_cast<uint8_t>(*c));
    mix(sizeof(Field));
    mix(std::is_floating_point_v<std::remove_all_extents_t<Field>>);
    mix(static_cast<uint64_t>(text));
  };
  GameState probe{};
  forEachGameField(probe, mixField);
  mix(sizeof(Ball));
  mix(kBallPoolSize);
  for (size_t size :
       {sizeof(Obstacle), sizeof(obstacles), sizeof(Brick), sizeof(bricks), sizeof(Invader),
        sizeof(invaders), sizeof(Shot), sizeof(shots), sizeof(Particle), sizeof(particles)}) {
    mix(size);
  }
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}
constexpr uint32_t kLayoutCode = computeLayoutCode();

// The texts frame_input.cpp and game_flow.cpp set, which have no name of their own there.
// The snapshot test checks that every text a game sets still restores.
constexpr std::string_view kCancelTitle = "      NO WAY!";
constexpr std::string_view kMusicFile = "Fenwhit.ogg";
constexpr std::string_view kBeatFile = "BPM180.ogg";

// The game's own static text equal to `text`, for a field of the given kind.
std::optional<std::string_view> staticText(GameText kind, std::string_view text) {
  if (text.empty()) return std::string_view{};
  switch (kind) {
    case GameText::kEventTitle:
      if (text == kCancelTitle) return kCancelTitle;
      for (int32_t number = 0; number <= kLastEventNumber; ++number) {
        const EventEntry* entry = findEvent(number);
        if (entry != nullptr && entry->title == text) return entry->title;
      }
      return std::nullopt;
    case GameText::kMusicFile:
      return text == kMusicFile ? std::optional(kMusicFile) : std::nullopt;
    case GameText::kBeatFile:
      return text == kBeatFile ? std::optional(kBeatFile) : std::nullopt;
    case GameText::kNone:
      break;
  }
  return std::nullopt;
}

// Writes the state, in order, to sink(data, size).
template <typename Sink>
void writeState(Sink& sink) {
  sink(&kLayoutCode, sizeof kLayoutCode);
  forEachGameField(game, [&sink](const char*, const auto& field, GameText = GameText::kNone) {
    if constexpr (kIsText<decltype(field)>) {
      const auto size = static_cast<uint32_t>(field.size());
      sink(&size, sizeof size);
      sink(field.data(), size);
    } else {
      static_assert(
          std::is_arithmetic_v<std::remove_all_extents_t<std::remove_cvref_t<decltype(field)>>>);
      sink(&field, sizeof field);
    }
  });
  sink(balls, sizeof balls);
  forEachPool([&sink](const auto& pool) { sink(&pool, sizeof pool); });
}

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // The next `size` bytes; once too few are left, empty and failed from then on.
  std::span<const uint8_t> take(size_t size) {
    if (failed_ || size > bytes_.size() - position_) {
      failed_ = true;
      return {};
    }
    const auto part = bytes_.subspan(position_, size);
    position_ += size;
    return part;
  }

  template <typename T>
  void read(T& value) {
    const auto part = take(sizeof value);
    if (!failed_) std::memcpy(&value, part.data(), sizeof value);
  }

  bool failed() const { return failed_; }
  bool atEnd() const { return !failed_ && position_ == bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool failed_ = false;
};

template <typename Field>
bool readField(ByteReader& in, Field& field, GameText kind) {
  if constexpr (kIsText<Field>) {
    uint32_t size = 0;
    in.read(size);
    const auto text = in.take(size);
    if (in.failed()) return false;
    const auto known = staticText(kind, {reinterpret_cast<const char*>(text.data()), text.size()});
    if (!known) return false;
    field = *known;
  } else {
    in.read(field);
  }
  return !in.failed();
}

// Values the game indexes its tables with must stay inside them.
bool ballsFit(const GameState& g, std::span<const uint8_t> bytes) {
  if (g.ballLast < 0 || g.ballLast >= kBallPoolSize) return false;
  for (size_t i = 0; i < kBallPoolSize; ++i) {
    int32_t kind = 0;
    std::memcpy(&kind, bytes.data() + i * sizeof(Ball) + offsetof(Ball, kind), sizeof kind);
    if (kind < static_cast<int32_t>(BallKind::Free) ||
        kind > static_cast<int32_t>(BallKind::Bogus)) {
      return false;
    }
  }
  return true;
}

template <typename Pool>
bool poolFits(std::span<const uint8_t> bytes) {
  int32_t lowestMaybeFree = 0;
  std::memcpy(&lowestMaybeFree, bytes.data() + offsetof(Pool, lowestMaybeFree),
              sizeof lowestMaybeFree);
  return lowestMaybeFree >= 0 && lowestMaybeFree <= Pool::kLast + 1;
}

}  // namespace

std::vector<uint8_t> SaveGameState() {
  std::vector<uint8_t> bytes;
  bytes.reserve(sizeof(GameState) + sizeof balls + sizeof obstacles + sizeof bricks +
                sizeof invaders + sizeof shots + sizeof particles);
  auto append = [&bytes](const void* data, size_t size) {
    const auto* first = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), first, first + size);
  };
  writeState(append);
  return bytes;
}

bool RestoreGameState(std::span<const uint8_t> bytes) {
  ByteReader in(bytes);
  uint32_t layout = 0;
  in.read(layout);
  if (in.failed() || layout != kLayoutCode) return false;

  GameState restored = game;
  bool fits = true;
  forEachGameField(restored, [&](const char*, auto& field, GameText text = GameText::kNone) {
    fits = fits && readField(in, field, text);
  });
  const auto ballBytes = in.take(sizeof balls);
  std::array<std::span<const uint8_t>, kPoolCount> poolBytes;
  size_t pool = 0;
  forEachPool([&](const auto& records) {
    poolBytes[pool] = in.take(sizeof records);
    fits =
        fits && !in.failed() && poolFits<std::remove_cvref_t<decltype(records)>>(poolBytes[pool]);
    ++pool;
  });
  if (!fits || !in.atEnd() || !ballsFit(restored, ballBytes)) return false;

  game = restored;
  std::memcpy(balls, ballBytes.data(), sizeof balls);
  pool = 0;
  forEachPool(
      [&](auto& records) { std::memcpy(&records, poolBytes[pool++].data(), sizeof records); });
  return true;
}

uint64_t GameChecksum() {
  uint64_t hash = kFnvOffset;
  auto fold = [&hash](const void* data, size_t size) {
    const auto* byte = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) hash = fnvMix(hash, byte[i]);
  };
  writeState(fold);
  return hash;
}

}  // namespace fenwhit
