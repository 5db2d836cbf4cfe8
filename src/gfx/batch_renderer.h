#pragma once
// Fixed-function OpenGL drawing that gathers a frame's quads and lines into vertex arrays and
// draws each run of the same texture, blend mode and line width with one call. Positions
// are transformed on the processor exactly as OpenGL would transform them, and the runs
// keep the order of drawing, so the pixels match the immediate renderer's. On software
// OpenGL, thousands of immediate-mode quads one at a time cost the main thread more than
// everything else in a full frame.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gfx/fixed_matrix.h"
#include "gfx/fragment_tally.h"
#include "gfx/quad_geometry.h"
#include "gfx/renderer.h"
#include "gfx/sprite_outline.h"
#include "platform/letterbox.h"

namespace fenwhit {

class Platform;

class BatchRenderer : public Renderer {
 public:
  explicit BatchRenderer(Platform& platform) : platform_(platform) {}

  void SetUpWindow(int32_t width, int32_t height) override;

  void ClearFrame() override;
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

  // Draws what is gathered; anything that reads the frame back calls this first.
  void Flush();
  // Whether large sprites are drawn only over the part of their picture that shows (as
  // they are unless told otherwise) or whole, as the reference renderer draws them. Where
  // the two triangulations interpolate a texture coordinate a rounding apart, a pixel may
  // differ by one level.
  void UseSpriteOutlines(bool use) { outlinesUsed_ = use; }
  // Counts the pixels of everything drawn from here on; null stops counting.
  void SetTally(FragmentTally* tally) { tally_ = tally; }

 private:
  struct Vertex {
    ClipPosition position;
    float colour[4];
    float u, v;
  };
  enum class Blend { kUnknown, kNone, kAlpha, kAdditive };
  enum class Shape { kQuads, kLines };

  // Fits the viewport to the drawable when its size changed; true when it did.
  bool FollowDrawable();
  // The first time after a clear: follows the drawable, and clears again when it changed.
  void LookAtDrawableOnce();
  // Each switches OpenGL state, drawing what was gathered under the old state first.
  void UseBlend(Blend blend);
  // Plain shapes in a fully opaque colour replace what is under them, blended or not; drawn
  // unblended they cost less, and the rasteriser may drop what they hide.
  void UseBlendFor(bool textured);
  void UseUntextured(Shape shape);
  void UseTexture(uint32_t name);
  void UseLineWidth(float width);
  // Hands what Flush draws to the tally.
  void Tally();

  // Whether drawing now would leave every pixel as it was: nothing added, or a fully
  // transparent colour. The beat-tinted glows are black between beats, and large.
  bool Invisible() const;
  void AddRect(const std::array<float, 8>& corners);
  // Clears the picture to the colour instead of drawing the quad, when that is the same.
  bool FillsLikeClear(const ClipPosition* corners);
  // Where the quad's own units land in clip space.
  FixedMatrix PlacedClip(const QuadPlacement& place) const;
  void AddPlaced(const FixedMatrix& clip, const QuadCorners& corners);
  // Only the part of a whole sprite that can show, as a fan of quads from its first corner.
  void AddOutlined(const FixedMatrix& clip, const SpriteOutline& outline, const Texture& texture);
  // Whether a whole sprite covers enough pixels that leaving out its transparent margins
  // saves more than the extra corners cost. Small ones, like the particles, do not gain.
  bool Large(const FixedMatrix& clip, const Texture& texture) const;
  static constexpr double kOutlinedPixels = 64.0 * 64.0;
  // Gathers one primitive's corners.
  void Add(const ClipPosition* positions, const float* u, const float* v, int count);
  void SceneChanged();

  Platform& platform_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  PixelSize drawable_;
  bool drawableDue_ = false;
  FixedMatrix projection_;
  FixedMatrix modelView_;
  FixedMatrix sceneClip_;  // projection_ x modelView_
  std::vector<Vertex> vertices_;
  float colour_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  uint8_t colourBytes_[4] = {255, 255, 255, 255};
  // Additive drawing in black still raises a stored destination alpha.
  bool destinationAlpha_ = true;

  // What OpenGL has in force, and the shape of what is gathered.
  Shape shape_ = Shape::kQuads;
  // Whether what is gathered reaches outside the window. Mesa sends a whole draw call down
  // its clipping path when any vertex lies outside, and that path rasterises quads a little
  // differently (texture coordinates round otherwise at some pixels). Primitives inside
  // and outside go in separate calls, so each takes the path it takes when drawn alone.
  bool outside_ = false;
  // Nothing drawn since the frame was cleared to black.
  bool black_ = false;
  Blend blend_ = Blend::kUnknown;    // as the game set it
  Blend glBlend_ = Blend::kUnknown;  // in force
  bool texturing_ = true;
  bool textureKnown_ = false;
  uint32_t texture_ = 0;
  float lineWidth_ = 1.0f;
  // By texture name, for the pictures with transparent margins.
  std::unordered_map<uint32_t, SpriteOutline> outlines_;
  bool outlinesUsed_ = true;
  FragmentTally* tally_ = nullptr;
  std::vector<ClipPosition> tallied_;
};

}  // namespace fenwhit
