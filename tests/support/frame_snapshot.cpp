#include "support/frame_snapshot.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "audio/music.h"

namespace fenwhit::testing {

namespace {

constexpr char kMagic[8] = {'F', 'W', 'F', 'R', 'A', 'M', 'E', '1'};

struct FileHeader {
  char magic[8];
  uint32_t size;
};

}  // namespace

void FrameSnapshot::Take() {
  beatFlash_ = beatFlash.load();
  state_ = game;
  std::memcpy(balls_, balls, sizeof(balls_));
  obstacles_ = obstacles;
  bricks_ = bricks;
  invaders_ = invaders;
  shots_ = shots;
  particles_ = particles;
}

void FrameSnapshot::Restore() const {
  beatFlash.store(beatFlash_);
  game = state_;
  std::memcpy(balls, balls_, sizeof(balls_));
  obstacles = obstacles_;
  bricks = bricks_;
  invaders = invaders_;
  shots = shots_;
  particles = particles_;
}

// Plain copies of every record; the texts of the game state are not kept.
bool FrameSnapshot::Save(const std::string& path) const {
  auto copy = std::make_unique<FrameSnapshot>(*this);
  copy->state_.eventTitle = {};
  copy->state_.musicFileName = {};
  copy->state_.beatFileName = {};
  FileHeader header{};
  std::memcpy(header.magic, kMagic, sizeof(kMagic));
  header.size = sizeof(FrameSnapshot);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(&header, sizeof(header), 1, file) == 1 &&
                       std::fwrite(copy.get(), sizeof(FrameSnapshot), 1, file) == 1;
  return std::fclose(file) == 0 && written;
}

bool FrameSnapshot::Load(const std::string& path) {
  auto loaded = std::make_unique<FrameSnapshot>();
  FileHeader header{};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  const bool read = std::fread(&header, sizeof(header), 1, file) == 1 &&
                    std::memcmp(header.magic, kMagic, sizeof(kMagic)) == 0 &&
                    header.size == sizeof(FrameSnapshot) &&
                    std::fread(loaded.get(), sizeof(FrameSnapshot), 1, file) == 1;
  std::fclose(file);
  if (read) *this = *loaded;
  return read;
}

}  // namespace fenwhit::testing
