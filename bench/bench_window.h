#pragma once
// A real 1280 x 720 OpenGL window for the drawing benchmarks (SDL's offscreen driver on
// Mesa's software renderer), with every game picture loaded from assets/. It draws with the
// game's batched renderer, or with the immediate one for comparison.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>

#include "app/pictures.h"
#include "gfx/batch_renderer.h"
#include "gfx/gl_renderer.h"
#include "gfx/renderer.h"
#include "platform/platform.h"
#include "platform/sdl_platform.h"

namespace fenwhit {

class BenchWindow {
 public:
  enum class Kind { kBatched, kImmediate };

  explicit BenchWindow(benchmark::State& state)
      : platform_("Fenwhit bench"), immediate_(platform_), batched_(platform_) {
    if (!platform_.OpenWindow(kWidth, kHeight)) {
      state.SkipWithError("no OpenGL context");
      return;
    }
    open_ = true;
    MakeCurrent();
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

  bool Open() const { return open_; }
  // Draw into this window with the game's renderer or the immediate one, and read its clock
  // (after set-up code installed others). Sets the window's render state up afresh.
  // A picture of another size is fitted into the window, as the game fits it.
  void MakeCurrent(Kind kind = Kind::kBatched, int width = kWidth, int height = kHeight) {
    kind_ = kind;
    Renderer& renderer = kind == Kind::kBatched ? static_cast<Renderer&>(batched_) : immediate_;
    SetPlatform(&platform_);
    SetRenderer(&renderer);
    renderer.SetUpWindow(width, height);
  }
  // Whether the batched renderer draws large sprites only where their pictures show.
  void UseSpriteOutlines(bool use) { batched_.UseSpriteOutlines(use); }
  // Waits until everything drawn so far is in the frame.
  void Finish() {
    if (kind_ == Kind::kBatched) batched_.Flush();
    glFinish();
  }

 private:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 720;
  SdlPlatform platform_;
  GlRenderer immediate_;
  BatchRenderer batched_;
  Kind kind_ = Kind::kBatched;
  bool open_ = false;
};

}  // namespace fenwhit
