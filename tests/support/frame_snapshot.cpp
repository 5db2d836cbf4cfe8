#include "support/frame_snapshot.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "audio/music.h"
#include "events/pool_records.h"
#include "game/balls.h"
#include "game/game_state.h"

namespace fenwhit::testing {

namespace {

constexpr char kMagic[8] = {'F', 'W', 'F', 'R', 'A', 'M', 'E', '1'};

// Plain copies of every record; the texts of the game state are not kept.
struct Snapshot {
  char magic[8];
  uint32_t size;
  int32_t beatFlash;
  GameState game;
  Ball balls[kBallPoolSize];
  decltype(obstacles) obstaclePool;
  decltype(bricks) brickPool;
  decltype(invaders) invaderPool;
  decltype(shots) shotPool;
  decltype(particles) particlePool;
};

}  // namespace

bool SaveFrameSnapshot(const std::string& path) {
  auto snapshot = std::make_unique<Snapshot>();
  std::memcpy(snapshot->magic, kMagic, sizeof(kMagic));
  snapshot->size = sizeof(Snapshot);
  snapshot->beatFlash = beatFlash.load();
  snapshot->game = game;
  snapshot->game.eventTitle = {};
  snapshot->game.musicFileName = {};
  snapshot->game.beatFileName = {};
  std::memcpy(snapshot->balls, balls, sizeof(balls));
  snapshot->obstaclePool = obstacles;
  snapshot->brickPool = bricks;
  snapshot->invaderPool = invaders;
  snapshot->shotPool = shots;
  snapshot->particlePool = particles;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(snapshot.get(), sizeof(Snapshot), 1, file) == 1;
  return std::fclose(file) == 0 && written;
}

bool LoadFrameSnapshot(const std::string& path) {
  auto snapshot = std::make_unique<Snapshot>();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  const bool read = std::fread(snapshot.get(), sizeof(Snapshot), 1, file) == 1;
  std::fclose(file);
  if (!read || std::memcmp(snapshot->magic, kMagic, sizeof(kMagic)) != 0 ||
      snapshot->size != sizeof(Snapshot)) {
    return false;
  }
  beatFlash.store(snapshot->beatFlash);
  game = snapshot->game;
  std::memcpy(balls, snapshot->balls, sizeof(balls));
  obstacles = snapshot->obstaclePool;
  bricks = snapshot->brickPool;
  invaders = snapshot->invaderPool;
  shots = snapshot->shotPool;
  particles = snapshot->particlePool;
  return true;
}

}  // namespace fenwhit::testing
