#include "platform/platform.h"

#include <cassert>

namespace fenwhit {

namespace {
Platform* currentPlatform = nullptr;
}

Platform& ThePlatform() {
  assert(currentPlatform != nullptr);
  return *currentPlatform;
}

void SetPlatform(Platform* platform) {
  currentPlatform = platform;
}

}  // namespace fenwhit
