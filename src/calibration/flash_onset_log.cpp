#include "calibration/flash_onset_log.h"

#include <chrono>
#include <cstdlib>

#include "audio/music.h"

namespace fenwhit {

std::unique_ptr<FlashOnsetLog> FlashOnsetLog::FromEnvironment(Platform& inner) {
  const char* path = std::getenv("FENWHIT_TEST_FLASH_LOG");
  if (path == nullptr || *path == '\0') return nullptr;
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr) return nullptr;
  return std::make_unique<FlashOnsetLog>(inner, file);
}

FlashOnsetLog::~FlashOnsetLog() {
  std::fclose(file_);
}

void FlashOnsetLog::SwapBuffers() {
  // Read before the swap: the frame presented is the one drawn with this value.
  const int32_t flash = beatFlash.load(std::memory_order_relaxed);
  inner().SwapBuffers();
  const bool onset = flash > lastFlash_;
  lastFlash_ = flash;
  if (!onset) return;
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  std::fprintf(file_, "%lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
  // The game may end by _Exit, which leaves stdio's buffers unwritten.
  std::fflush(file_);
}

}  // namespace fenwhit
