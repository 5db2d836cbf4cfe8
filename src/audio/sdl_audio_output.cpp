#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "audio/audio_output.h"
#include "audio/output_latency.h"
#include "audio/retry_thread.h"
#include "audio/thread_priority.h"

namespace fenwhit {

namespace {

// Without a sound card the system's audio library writes its own complaints to stderr
// while the device is probed. The game says what happened in one line of its own, so
// the probe runs with stderr pointed at /dev/null. Start-up has no other thread yet.
class QuietStderr {
 public:
  QuietStderr() : saved_(dup(STDERR_FILENO)) {
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    if (saved_ >= 0) {
      dup2(saved_, STDERR_FILENO);
      close(saved_);
    }
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_;
};

// How often the default device is tried again while the mix goes nowhere.
constexpr std::chrono::milliseconds kReopenPeriod{3000};

// When the card goes away (unplugged, its server gone), SDL tells by an event and then
// only fires the callback on whole-millisecond sleeps, so the music clock would drift
// and the beat with it. The mix then moves to a silent output that keeps exact time,
// as when no card was there at start-up. The default device is opened anew when SDL
// reports an output device again (the headset plugged back in), and every few seconds
// besides: a sound server that restarted (as an upgrade does) may report nothing.
class SdlAudioOutput : public AudioOutput {
 public:
  SdlAudioOutput(RenderFunction render, void* context)
      : render_(render), context_(context), retry_(kReopenPeriod, [this] { return Reopen(); }) {}
  ~SdlAudioOutput() override {
    SDL_DelEventWatch(&SdlAudioOutput::WatchEvents, this);
    retry_.Stop();
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    fallback_.reset();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  bool Open(int rate, std::string& reason) {
    rate_ = rate;
    device_ = OpenDevice(reason);
    if (device_ == 0) return false;
    EstimateLatency();
    SDL_AddEventWatch(&SdlAudioOutput::WatchEvents, this);
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

 private:
  // Opened paused.
  SDL_AudioDeviceID OpenDevice(std::string& reason) {
    SDL_AudioSpec want{};
    want.freq = rate_;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceBufferFrames;
    want.callback = &SdlAudioOutput::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the card wants.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) reason = SDL_GetError();
    if (device != 0 && have.samples > 0) bufferFrames_ = have.samples;
    return device;
  }

  int LatencyMs() const override { return latencyMs_.load(std::memory_order_relaxed); }

  // Once a device is open, from the buffer it took (the retry thread's, after start-up).
  void EstimateLatency() {
    latencyMs_.store(EstimateLatencyMs(SDL_GetCurrentAudioDriver(),
                                       std::getenv("PULSE_LATENCY_MSEC"), bufferFrames_, rate_),
                     std::memory_order_relaxed);
  }

  static void Callback(void* self, Uint8* stream, int bytes) {
    auto* output = static_cast<SdlAudioOutput*>(self);
    // SDL asks for more than an ordinary process may have; this takes what it may. Each
    // device has a thread of its own, so this is asked once a thread.
    thread_local bool raised = false;
    if (!raised) {
      raised = true;
      RaiseThisThread(ThreadUrgency::kRealTime);
    }
    std::lock_guard lock(output->renderMutex_);
    if (output->fallback_) {
      std::memset(stream, 0, static_cast<size_t>(bytes));
      return;
    }
    output->render_(output->context_, reinterpret_cast<int16_t*>(stream), bytes / 4);
  }

  // The silent output renders through here, never at the same time as the callback.
  static void RenderForFallback(void* self, int16_t* out, int frames) {
    auto* output = static_cast<SdlAudioOutput*>(self);
    std::lock_guard lock(output->renderMutex_);
    output->render_(output->context_, out, frames);
  }

  // Runs on whichever thread pushed the event, which may hold the audio library's own
  // locks: a device is opened on the retry thread, never here.
  static int WatchEvents(void* self, SDL_Event* event) {
    auto* output = static_cast<SdlAudioOutput*>(self);
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0) {
      bool removed = false;
      {
        std::lock_guard lock(output->renderMutex_);
        removed = event->adevice.which == output->device_ && !output->fallback_;
        if (removed) {
          output->fallback_ = StartSilentAudioOutput(output->rate_, &RenderForFallback, output);
        }
      }
      if (removed) output->retry_.Arm();
    }
    if (event->type == SDL_AUDIODEVICEADDED && event->adevice.iscapture == 0) {
      output->retry_.Nudge();
    }
    return 1;
  }

  // On the retry thread, while silent; true while still silent. The silent output keeps
  // the mix until the removed device is closed, so only one thread ever renders it; the
  // new device starts once the silent one has stopped.
  bool Reopen() {
    std::string reason;
    const SDL_AudioDeviceID device = OpenDevice(reason);
    if (device == 0) return true;
    EstimateLatency();
    SDL_AudioDeviceID removed = 0;
    {
      std::lock_guard lock(renderMutex_);
      removed = device_;
      device_ = device;
    }
    SDL_CloseAudioDevice(removed);
    std::unique_ptr<AudioOutput> silent;
    {
      std::lock_guard lock(renderMutex_);
      silent = std::move(fallback_);
    }
    silent.reset();
    SDL_PauseAudioDevice(device, 0);
    return false;
  }

  RenderFunction render_;
  void* context_;
  int rate_ = 0;
  int bufferFrames_ = kDeviceBufferFrames;
  std::atomic<int> latencyMs_{0};
  std::mutex renderMutex_;
  // Guarded by renderMutex_.
  SDL_AudioDeviceID device_ = 0;
  std::unique_ptr<AudioOutput> fallback_;
  RetryThread retry_;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenSdlAudioOutput(int rate, RenderFunction render, void* context,
                                                std::string& reason) {
  reason.clear();
  // A sound server keeps about one device buffer queued for us unless told otherwise,
  // and a busy machine can hand the audio thread its core later than that: asking for
  // 50 ms queued costs about 20 ms of latency and doubles the slack. The player's own
  // setting stands.
  setenv("PULSE_LATENCY_MSEC", "50", 0);
  QuietStderr quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    reason = SDL_GetError();
    return nullptr;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  if (driver != nullptr && std::strcmp(driver, "dummy") == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  auto output = std::make_unique<SdlAudioOutput>(render, context);
  if (!output->Open(rate, reason)) return nullptr;
  return output;
}

}  // namespace fenwhit
