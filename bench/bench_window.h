#pragma once
// A real 1280 x 720 OpenGL window for the drawing benchmarks (SDL's offscreen driver on
// Mesa's software renderer), with every game picture loaded from assets/.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/pictures.h"
#include "gfx/gl_renderer.h"
#include "gfx/renderer.h"
#include "platform/platform.h"
#include "platform/sdl_platform.h"

namespace fenwhit {

class BenchWindow {
 public:
  explicit BenchWindow(benchmark::State& state) : platform_("Fenwhit bench") {
    if (!platform_.OpenWindow(kWidth, kHeight)) {
      state.SkipWithError("no OpenGL context");
      return;
    }
    renderer_ = std::make_unique<GlRenderer>(platform_);
    MakeCurrent();
    renderer_->SetUpWindow(kWidth, kHeight);
    const std::string assets = std::string(FENWHIT_SOURCE_DIR) + "/assets/";
    LoadMenuPicture(assets);
    LoadOtherPictures(assets);
  }
  ~BenchWindow() {
    pictures = Pictures{};
    SetRenderer(nullptr);
    SetPlatform(nullptr);
  }
  BenchWindow(const BenchWindow&) = delete;
  BenchWindow& operator=(const BenchWindow&) = delete;

  bool Open() const { return renderer_ != nullptr; }
  // Draw into this window and read its clock (after set-up code installed others).
  void MakeCurrent() {
    SetPlatform(&platform_);
    SetRenderer(renderer_.get());
  }

 private:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 720;
  SdlPlatform platform_;
  std::unique_ptr<GlRenderer> renderer_;
};

}  // namespace fenwhit
