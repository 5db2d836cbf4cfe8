#pragma once
// For measuring from outside when the beat is seen: the monotonic time in nanoseconds of
// every presented frame whose beat flash is brighter than the last presented frame's (a
// beat was taken), one a line, in the file FENWHIT_TEST_FLASH_LOG names. Off unless set.
// Wraps the platform the renderer presents through, so the time is read as the frame is
// swapped, on the clock the sound server's timing and the frame probe read.
#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/forwarding_platform.h"

namespace fenwhit {

class FlashOnsetLog final : public ForwardingPlatform {
 public:
  // Null when the variable is unset or its file cannot be made.
  static std::unique_ptr<FlashOnsetLog> FromEnvironment(Platform& inner);

  FlashOnsetLog(Platform& inner, std::FILE* file) : ForwardingPlatform(inner), file_(file) {}
  ~FlashOnsetLog() override;
  FlashOnsetLog(const FlashOnsetLog&) = delete;
  FlashOnsetLog& operator=(const FlashOnsetLog&) = delete;

  void SwapBuffers() override;

 private:
  std::FILE* file_;
  int32_t lastFlash_ = 0;
};

}  // namespace fenwhit
