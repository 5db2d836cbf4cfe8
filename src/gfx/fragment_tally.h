#pragma once
// Counts the pixels each layer of a frame covers, from the positions the batched renderer
// hands to OpenGL, and how many of them are blended: the work a frame gives a software
// rasteriser, measured without a clock, so a loaded machine cannot blur it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/fixed_matrix.h"

namespace fenwhit {

enum class Layer : uint8_t {
  kBackdrop,  // plain shapes before the first opaque one: the tint and the wave lines
  kMasks,     // opaque plain shapes
  kShapes,    // the other plain shapes: paddles, walls, obstacles, invaders, shots
  kGlows,
  kParticles,
  kBalls,
  kBricks,
  kBlackHole,
  kTitles,  // the title's plate and the text drawn after it
  kText,
  kPictures,  // anything else: the menu picture fading out, the corners
  kCount
};

const char* LayerName(Layer layer);

struct LayerPixels {
  double covered = 0;
  double blended = 0;
  int64_t primitives = 0;  // quads and lines sent, seen or not
};
using FramePixels = std::array<LayerPixels, static_cast<size_t>(Layer::kCount)>;

// One run of primitives as drawn: four corners a quad or two ends a line, in clip space.
struct DrawnRun {
  const ClipPosition* positions;
  int count;
  bool lines;
  float lineWidth;  // in pixels
  bool blended;
  bool opaque;           // drawn with no blending and no texture
  uint32_t textureName;  // 0: untextured
};

class FragmentTally {
 public:
  // The picture's size in pixels.
  void SetViewport(int32_t width, int32_t height);

  void Add(const DrawnRun& run);
  void EndFrame();

  const std::vector<FramePixels>& Frames() const { return frames_; }
  // A table: per layer, the mean and the largest pixels covered and blended in a frame,
  // and the frames' totals.
  std::string Table() const;

 private:
  Layer LayerOf(const DrawnRun& run);

  double width_ = 0;
  double height_ = 0;
  bool opaqueSeen_ = false;
  bool titleSeen_ = false;
  FramePixels frame_{};
  std::vector<FramePixels> frames_;
};

// Pixels of a width x height picture covered by a quad or a line of the given width in
// pixels, its positions in clip space.
double QuadPixels(const ClipPosition* corners, double width, double height);
double LinePixels(const ClipPosition* ends, float lineWidth, double width, double height);

}  // namespace fenwhit
