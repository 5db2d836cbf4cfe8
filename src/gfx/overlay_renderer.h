#pragma once
// A renderer around another that keeps the frame last presented, so a pause screen can
// show the frozen scene again, and draws overlays (volume, best scores) on top of every
// frame without the game's rules knowing about them.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "gfx/renderer.h"

namespace fenwhit {

class OverlayRenderer : public Renderer {
 public:
  using Overlay = std::function<void()>;

  explicit OverlayRenderer(Renderer& inner) : inner_(inner) {}

  // A new window forgets the kept frame; blend and colour stay as they were, as in OpenGL.
  void SetUpWindow(int32_t width, int32_t height) override;
  void ClearFrame() override;
  // Runs the overlays, puts the game's blend and colour back, presents and keeps the frame.
  void PresentFrame() override;
  void SetBlendAlpha() override;
  void SetBlendAdditive() override;
  void SetColor(int32_t r, int32_t g, int32_t b, int32_t a) override;
  void FillRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
  void FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) override;
  void SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) override;
  void SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                           int32_t dy) override;
  void ResetSceneTransform() override;
  Texture CreateTexture(const Image* image, int nearest) override;
  void DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle, float scale) override;
  void DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                        const Texture& texture, float scale) override;
  void WarmUp(const std::vector<Texture>& textures) override;

  // Run at every PresentFrame after the game's drawing, in the order added. They draw
  // through the free functions, starting under the game's scene transform (they reset it
  // to place themselves); what they draw is not kept, and the game's blend, colour and
  // transform are put back after them. An overlay's PresentFrame, PresentOwnFrame or
  // DrawLastFrame is ignored.
  void AddOverlay(Overlay overlay);

  // Draws the kept frame again, as the game drew it, into a frame cleared anew (which undoes a
  // scene transform issued since the game's clear), without the
  // overlays, starting from the blend and colour in force when it began. Leaves the blend
  // and colour the game had at its end. What is drawn from here to PresentOwnFrame belongs
  // to the pause screen, not to the game's frame.
  void DrawLastFrame();
  // Presents the pause screen's frame without overlays and without keeping it, clears, and
  // puts back the game's blend, colour and scene transform. Drawing after it belongs to the
  // pause screen again until the game's next PresentFrame or ClearFrame.
  void PresentOwnFrame();
  bool HasLastFrame() const { return hasLastFrame_; }

 private:
  enum class Op : uint8_t {
    kBlendAlpha,
    kBlendAdditive,
    kColor,
    kFillRect,
    kFillRectCorners,
    kLine,
    kScene,
    kSceneXY,
    kSceneReset,
    kSprite,
    kRegion,
  };
  // One call with its arguments in call order; plain data so a frame is one flat array.
  struct Command {
    Op op;
    int32_t ints[6];
    float floats[3];
    Texture texture;
  };
  enum class Blend : uint8_t { kUnset, kAlpha, kAdditive };
  struct State {
    Blend blend = Blend::kUnset;
    // A fresh OpenGL context draws in white.
    int32_t color[4] = {255, 255, 255, 255};
  };

  // Passes a call on and, unless an overlay made it, keeps it and follows its state.
  void Handle(const Command& command);
  void Send(const Command& command);
  void SendState(const State& state);
  void ClearInner();
  // Puts back the scene transform of the game's frame being drawn: the transform calls it
  // made since its last clear or reset, up to `end` of its kept calls.
  void RestoreTransform(size_t end);
  // Marks where the pause screen's drawing starts, once per own frame.
  void BeginOwnFrame();
  void RunOverlays();

  Renderer& inner_;
  std::vector<Overlay> overlays_;
  std::vector<Overlay> addedWhileRunning_;
  bool runningOverlays_ = false;

  std::vector<Command> drawing_;
  std::vector<Command> last_;
  bool hasLastFrame_ = false;
  State state_;
  State drawingStart_;
  State lastStart_;
  State lastEnd_;

  bool ownFrame_ = false;
  size_t ownFrameStart_ = 0;
  State gameStateBeforeOwnFrame_;
};

}  // namespace fenwhit
