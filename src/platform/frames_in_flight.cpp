#include "platform/frames_in_flight.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdint>

namespace fenwhit {
namespace {

// The sync object's types and values, as GL 3.2 and ARB_sync define them.
using SyncHandle = struct SyncObject*;
constexpr unsigned kSyncGpuCommandsComplete = 0x9117;
constexpr unsigned kSyncFlushCommandsBit = 0x00000001;
constexpr uint64_t kWaitForeverNs = UINT64_MAX;

}  // namespace

struct FramesInFlight::Calls {
  SyncHandle (*fenceSync)(unsigned condition, unsigned flags) = nullptr;
  unsigned (*clientWaitSync)(SyncHandle sync, unsigned flags, uint64_t timeoutNs) = nullptr;
  void (*deleteSync)(SyncHandle sync) = nullptr;
};

void FramesInFlight::Start() {
  Stop();
  static Calls calls;
  calls.fenceSync =
      reinterpret_cast<decltype(calls.fenceSync)>(SDL_GL_GetProcAddress("glFenceSync"));
  calls.clientWaitSync =
      reinterpret_cast<decltype(calls.clientWaitSync)>(SDL_GL_GetProcAddress("glClientWaitSync"));
  calls.deleteSync =
      reinterpret_cast<decltype(calls.deleteSync)>(SDL_GL_GetProcAddress("glDeleteSync"));
  const bool haveSync = (SDL_GL_ExtensionSupported("GL_ARB_sync") == SDL_TRUE) &&
                        calls.fenceSync != nullptr && calls.clientWaitSync != nullptr &&
                        calls.deleteSync != nullptr;
  calls_ = haveSync ? &calls : nullptr;
  started_ = true;
}

void FramesInFlight::AfterSwap() {
  if (!started_) return;
  if (calls_ == nullptr) {
    glFinish();
    return;
  }
  if (previous_ != nullptr) {
    auto* sync = static_cast<SyncHandle>(previous_);
    calls_->clientWaitSync(sync, kSyncFlushCommandsBit, kWaitForeverNs);
    calls_->deleteSync(sync);
  }
  previous_ = calls_->fenceSync(kSyncGpuCommandsComplete, 0);
}

void FramesInFlight::Stop() {
  if (calls_ != nullptr && previous_ != nullptr) {
    calls_->deleteSync(static_cast<SyncHandle>(previous_));
  }
  previous_ = nullptr;
  calls_ = nullptr;
  started_ = false;
}

}  // namespace fenwhit
