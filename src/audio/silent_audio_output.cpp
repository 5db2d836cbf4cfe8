#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "audio/audio_output.h"

namespace fenwhit {

namespace {

class SilentAudioOutput : public AudioOutput {
 public:
  SilentAudioOutput(int rate, RenderFunction render, void* context)
      : buffer_(kOutputBufferFrames * 2),
        thread_([this, rate, render, context] { Run(rate, render, context); }) {}
  ~SilentAudioOutput() override {
    quit_.store(true, std::memory_order_relaxed);
    thread_.join();
  }
  SilentAudioOutput(const SilentAudioOutput&) = delete;
  SilentAudioOutput& operator=(const SilentAudioOutput&) = delete;

 private:
  void Run(int rate, RenderFunction render, void* context) {
    using Clock = std::chrono::steady_clock;
    // Buffers are due at exact multiples of the buffer period from the start, so the
    // pace does not drift with the sleeps' rounding.
    auto start = Clock::now();
    int64_t buffers = 0;
    while (!quit_.load(std::memory_order_relaxed)) {
      render(context, buffer_.data(), kOutputBufferFrames);
      ++buffers;
      auto due =
          start + std::chrono::nanoseconds(buffers * kOutputBufferFrames * 1000000000LL / rate);
      // After a long stall (a suspended machine) carry on from now rather than catch up.
      if (Clock::now() - due > std::chrono::milliseconds(250)) {
        start = due = Clock::now();
        buffers = 0;
      }
      std::this_thread::sleep_until(due);
    }
  }

  std::vector<int16_t> buffer_;
  std::atomic<bool> quit_{false};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<AudioOutput> StartSilentAudioOutput(int rate, RenderFunction render,
                                                    void* context) {
  return std::make_unique<SilentAudioOutput>(rate, render, context);
}

}  // namespace fenwhit
