#include "gfx/fragment_tally.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gfx/convex_clip.h"
#include "gfx/picture_bounds.h"
#include "gfx/pictures.h"

namespace fenwhit {

namespace {

struct Point {
  double x, y;
};

}  // namespace

double QuadPixels(const ClipPosition* corners, double width, double height) {
  std::vector<Point> polygon;
  for (int i = 0; i < 4; ++i) polygon.push_back({corners[i].x, corners[i].y});
  // Clip space spans -1 to 1 across and down.
  polygon = KeepBelow(polygon, -1.0, 0.0, 1.0);
  polygon = KeepBelow(polygon, 1.0, 0.0, 1.0);
  polygon = KeepBelow(polygon, 0.0, -1.0, 1.0);
  polygon = KeepBelow(polygon, 0.0, 1.0, 1.0);
  double twiceArea = 0;
  for (size_t i = 0; i < polygon.size(); ++i) {
    const Point& a = polygon[i];
    const Point& b = polygon[(i + 1) % polygon.size()];
    twiceArea += a.x * b.y - b.x * a.y;
  }
  // Clip space spans 2 x 2 for the whole picture.
  return std::fabs(twiceArea) / 2.0 * width * height / 4.0;
}

// A wide line covers its length along the major axis times its width.
double LinePixels(const ClipPosition* ends, float lineWidth, double width, double height) {
  const SegmentSpan span = SpanInPicture(ends[0], ends[1], lineWidth / width, lineWidth / height);
  if (span.Empty()) return 0.0;
  const double dx = (static_cast<double>(ends[1].x) - ends[0].x) * width / 2.0;
  const double dy = (static_cast<double>(ends[1].y) - ends[0].y) * height / 2.0;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  const double across = std::min<double>(lineWidth, xMajor ? height : width);
  return std::max(std::fabs(dx), std::fabs(dy)) * (span.leave - span.enter) * across;
}

const char* LayerName(Layer layer) {
  static constexpr const char* kNames[] = {"backdrop",  "masks", "shapes",  "glows",
                                           "particles", "balls", "bricks",  "black hole",
                                           "titles",    "text",  "pictures"};
  return kNames[static_cast<size_t>(layer)];
}

void FragmentTally::SetViewport(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
}

Layer FragmentTally::LayerOf(const DrawnRun& run) {
  if (run.textureName == 0) {
    if (run.opaque) opaqueSeen_ = true;
    if (run.opaque) return Layer::kMasks;
    return opaqueSeen_ ? Layer::kShapes : Layer::kBackdrop;
  }
  // The game's pictures tell the layers apart; text after a title's plate is the title.
  const uint32_t name = run.textureName;
  if (name == pictures.font.texture.name) return titleSeen_ ? Layer::kTitles : Layer::kText;
  if (name == pictures.eventText.name) {
    titleSeen_ = true;
    return Layer::kTitles;
  }
  if (name == pictures.light.name) return Layer::kGlows;
  if (name == pictures.particle.name) return Layer::kParticles;
  if (name == pictures.blackHole.name) return Layer::kBlackHole;
  if (name == pictures.brick.name) return Layer::kBricks;
  for (const Texture& ball : {pictures.ball, pictures.cow, pictures.chicken, pictures.kromby}) {
    if (name == ball.name) return Layer::kBalls;
  }
  return Layer::kPictures;
}

void FragmentTally::Add(const DrawnRun& run) {
  LayerPixels& pixels = frame_[static_cast<size_t>(LayerOf(run))];
  const int step = run.lines ? 2 : 4;
  for (int i = 0; i + step <= run.count; i += step) {
    const double covered = run.lines ? LinePixels(run.positions + i, run.lineWidth, width_, height_)
                                     : QuadPixels(run.positions + i, width_, height_);
    ++pixels.primitives;
    pixels.covered += covered;
    if (run.blended) pixels.blended += covered;
  }
}

void FragmentTally::EndFrame() {
  frames_.push_back(frame_);
  frame_ = {};
  opaqueSeen_ = false;
  titleSeen_ = false;
}

std::string FragmentTally::Table() const {
  std::string out = "layer        mean covered  mean blended  most covered  most blended\n";
  FramePixels sum{};
  FramePixels most{};
  LayerPixels frameMost;
  LayerPixels frameSum;
  for (const FramePixels& frame : frames_) {
    LayerPixels total;
    for (size_t k = 0; k < frame.size(); ++k) {
      sum[k].covered += frame[k].covered;
      sum[k].blended += frame[k].blended;
      most[k].covered = std::max(most[k].covered, frame[k].covered);
      most[k].blended = std::max(most[k].blended, frame[k].blended);
      total.covered += frame[k].covered;
      total.blended += frame[k].blended;
    }
    frameSum.covered += total.covered;
    frameSum.blended += total.blended;
    frameMost.covered = std::max(frameMost.covered, total.covered);
    frameMost.blended = std::max(frameMost.blended, total.blended);
  }
  const double n = frames_.empty() ? 1.0 : static_cast<double>(frames_.size());
  char line[160];
  const auto row = [&](const char* name, const LayerPixels& total, const LayerPixels& top) {
    std::snprintf(line, sizeof line, "%-12s %13.0f %13.0f %13.0f %13.0f\n", name, total.covered / n,
                  total.blended / n, top.covered, top.blended);
    out += line;
  };
  for (size_t k = 0; k < sum.size(); ++k) row(LayerName(static_cast<Layer>(k)), sum[k], most[k]);
  row("whole frame", frameSum, frameMost);
  return out;
}

}  // namespace fenwhit
