#include "gfx/batch_renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "gfx/gl_setup.h"
#include "gfx/picture_bounds.h"
#include "gfx/warm_up.h"
#include "platform/platform.h"

namespace fenwhit {

void BatchRenderer::SetUpWindow(int32_t width, int32_t height) {
  vertices_.clear();
  width_ = width;
  height_ = height;
  drawable_ = platform_.DrawableSize();
  SetUpGlWindow(width, height, drawable_);
  // OpenGL's own matrices stay at identity: the vertices arrive already in clip space.
  projection_ =
      OrthoMatrix(0.0, static_cast<double>(width), static_cast<double>(height), 0.0, -1.0, 1.0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  modelView_ = FixedMatrix{};
  SceneChanged();
  SetGlLineWidth(1.0f);
  GLint alphaBits = 0;
  glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
  destinationAlpha_ = alphaBits != 0;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  shape_ = Shape::kQuads;
  blend_ = Blend::kUnknown;
  glBlend_ = Blend::kUnknown;
  texturing_ = true;
  textureKnown_ = false;
  lineWidth_ = 1.0f;
}

void BatchRenderer::Flush() {
  if (vertices_.empty()) return;
  LookAtDrawableOnce();
  const Vertex& first = vertices_.front();
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &first.position);
  glColorPointer(4, GL_FLOAT, sizeof(Vertex), first.colour);
  glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &first.u);
  glDrawArrays(shape_ == Shape::kQuads ? GL_QUADS : GL_LINES, 0,
               static_cast<GLsizei>(vertices_.size()));
  if (tally_ != nullptr) Tally();
  vertices_.clear();
}

void BatchRenderer::Tally() {
  const float pixels = GlPixelsPerUnit();
  tally_->SetViewport(static_cast<int32_t>(static_cast<float>(width_) * pixels + 0.5f),
                      static_cast<int32_t>(static_cast<float>(height_) * pixels + 0.5f));
  tallied_.clear();
  for (const Vertex& vertex : vertices_) tallied_.push_back(vertex.position);
  const bool blended = glBlend_ != Blend::kNone;
  tally_->Add({tallied_.data(), static_cast<int>(tallied_.size()), shape_ == Shape::kLines,
               lineWidth_ * pixels, blended, !blended && !texturing_, texturing_ ? texture_ : 0});
}

bool BatchRenderer::FollowDrawable() {
  const PixelSize drawable = platform_.DrawableSize();
  if (drawable == drawable_) return false;
  drawable_ = drawable;
  FitGlViewport(width_, height_, drawable_);
  SetGlLineWidth(lineWidth_);
  return true;
}

void BatchRenderer::LookAtDrawableOnce() {
  if (!drawableDue_) return;
  drawableDue_ = false;
  // Nothing of this frame has reached OpenGL yet, so clearing again loses nothing.
  if (FollowDrawable()) ClearGlFrame();
}

void BatchRenderer::ClearFrame() {
  Flush();
  // The drawable changes size when fullscreen is toggled or the desktop resizes the window.
  FollowDrawable();
  ClearGlFrame();
  black_ = true;
  modelView_ = FixedMatrix{};
  SceneChanged();
  // The frame's events are taken after its clear, a fullscreen toggle among them: the
  // drawable is looked at again when the frame's first drawing reaches OpenGL.
  drawableDue_ = true;
}

void BatchRenderer::PresentFrame() {
  Flush();
  if (tally_ != nullptr) tally_->EndFrame();
  LookAtDrawableOnce();
  platform_.SwapBuffers();
}

void BatchRenderer::UseBlend(Blend blend) {
  if (blend == glBlend_ || blend == Blend::kUnknown) return;
  Flush();
  if (blend == Blend::kAlpha) {
    UseBlendAlpha();
  } else if (blend == Blend::kAdditive) {
    UseBlendAdditive();
  } else {
    UseNoBlend();
  }
  glBlend_ = blend;
}

void BatchRenderer::UseBlendFor(bool textured) {
  const bool opaque = !textured && blend_ == Blend::kAlpha && colourBytes_[3] == 255;
  UseBlend(opaque ? Blend::kNone : blend_);
}

void BatchRenderer::SetBlendAlpha() {
  blend_ = Blend::kAlpha;
}

void BatchRenderer::SetBlendAdditive() {
  blend_ = Blend::kAdditive;
}

void BatchRenderer::SetColor(int32_t r, int32_t g, int32_t b, int32_t a) {
  // The same float glColor4ub makes of each byte.
  const int32_t components[4] = {r, g, b, a};
  for (int i = 0; i < 4; ++i) {
    colourBytes_[i] = static_cast<uint8_t>(components[i]);
    colour_[i] = static_cast<float>(colourBytes_[i]) / 255.0f;
  }
}

bool BatchRenderer::Invisible() const {
  const bool transparent = colourBytes_[3] == 0;
  const bool black = colourBytes_[0] == 0 && colourBytes_[1] == 0 && colourBytes_[2] == 0;
  switch (blend_) {
    case Blend::kAlpha:
      return transparent;
    case Blend::kAdditive:
      return transparent || (black && !destinationAlpha_);
    case Blend::kNone:
    case Blend::kUnknown:
      break;
  }
  return false;
}

void BatchRenderer::UseUntextured(Shape shape) {
  if (!texturing_ && shape == shape_) return;
  Flush();
  if (texturing_) glDisable(GL_TEXTURE_2D);
  texturing_ = false;
  shape_ = shape;
}

void BatchRenderer::UseTexture(uint32_t name) {
  if (texturing_ && textureKnown_ && texture_ == name && shape_ == Shape::kQuads) return;
  Flush();
  if (!texturing_) glEnable(GL_TEXTURE_2D);
  if (!textureKnown_ || texture_ != name) glBindTexture(GL_TEXTURE_2D, name);
  texturing_ = true;
  textureKnown_ = true;
  texture_ = name;
  shape_ = Shape::kQuads;
}

void BatchRenderer::UseLineWidth(float width) {
  if (width == lineWidth_) return;
  Flush();
  SetGlLineWidth(width);
  lineWidth_ = width;
}

namespace {

bool Outside(const ClipPosition& p) {
  return p.x < -1.0f || p.x > 1.0f || p.y < -1.0f || p.y > 1.0f || p.z < -1.0f || p.z > 1.0f;
}

constexpr float kNoTexture[4] = {0.0f, 0.0f, 0.0f, 0.0f};

}  // namespace

void BatchRenderer::Add(const ClipPosition* positions, const float* u, const float* v, int count) {
  black_ = false;
  bool outside = false;
  for (int i = 0; i < count; ++i) outside = outside || Outside(positions[i]);
  if (outside != outside_) {
    Flush();
    outside_ = outside;
  }
  for (int i = 0; i < count; ++i) {
    vertices_.push_back(
        {positions[i], {colour_[0], colour_[1], colour_[2], colour_[3]}, u[i], v[i]});
  }
}

void BatchRenderer::AddRect(const std::array<float, 8>& corners) {
  if (Invisible()) return;
  ClipPosition positions[4];
  for (int i = 0; i < 4; ++i) {
    positions[i] = Transform(sceneClip_, corners[2 * i], corners[2 * i + 1]);
  }
  if (BesidePicture(positions, 4, 0.0f)) return;
  if (FillsLikeClear(positions)) return;
  UseBlendFor(false);
  UseUntextured(Shape::kQuads);
  Add(positions, kNoTexture, kNoTexture, 4);
}

// An opaque colour over the whole picture leaves that colour everywhere, and so does an
// opaque colour added to a frame still black from its clear: clearing to it is the same
// picture without a blended pixel.
bool BatchRenderer::FillsLikeClear(const ClipPosition* corners) {
  if (colourBytes_[3] != 255) return false;
  const bool replaces = blend_ == Blend::kAlpha || (blend_ == Blend::kAdditive && black_);
  if (!replaces || !CoversPicture(corners)) return false;
  Flush();
  LookAtDrawableOnce();
  ClearGlPicture(colour_);
  black_ = false;
  return true;
}

void BatchRenderer::FillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  AddRect(RectCorners(x, y, w, h));
}

void BatchRenderer::FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  AddRect(RectCornersBetween(x1, y1, x2, y2));
}

void BatchRenderer::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) {
  if (Invisible()) return;
  const ClipPosition ends[2] = {
      Transform(sceneClip_, static_cast<float>(x1), static_cast<float>(y1)),
      Transform(sceneClip_, static_cast<float>(x2), static_cast<float>(y2))};
  // A wide line reaches half its width beside its ends' positions; a pixel more is room.
  const double reach = width + 2.0 / GlPixelsPerUnit();
  if (SpanInPicture(ends[0], ends[1], reach / width_, reach / height_).Empty()) return;
  UseBlendFor(false);
  UseUntextured(Shape::kLines);
  UseLineWidth(width);
  Add(ends, kNoTexture, kNoTexture, 2);
}

void BatchRenderer::SceneChanged() {
  sceneClip_ = Multiply(projection_, modelView_);
}

void BatchRenderer::SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) {
  SetSceneTransformXY(angle, scale, scale, dx, dy);
}

void BatchRenderer::SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                                        int32_t dy) {
  const ScenePlacement scene = PlaceScene(angle, scaleX, scaleY, dx, dy);
  modelView_.Translate(scene.centreX, scene.centreY, 0.0f);
  modelView_.RotateZ(scene.angle);
  modelView_.Scale(scene.scaleX, scene.scaleY, 1.0f);
  modelView_.Translate(scene.backX, scene.backY, scene.backZ);
  SceneChanged();
}

void BatchRenderer::ResetSceneTransform() {
  modelView_ = FixedMatrix{};
  SceneChanged();
}

Texture BatchRenderer::CreateTexture(const Image* image, int nearest) {
  Flush();
  const Texture texture = UploadTexture(image, nearest);
  outlines_.erase(texture.name);
  // Between the texels of a picture filtered to the nearest, a sample a rounding apart
  // takes the whole step: drawn in other triangles than the quad's, such a picture
  // could differ visibly.
  if (image != nullptr && nearest == 0) {
    const SpriteOutline outline = OutlineShowing(*image);
    const bool whole =
        outline.Whole(static_cast<float>(texture.width), static_cast<float>(texture.height));
    if (!whole) outlines_[texture.name] = outline;
  }
  texturing_ = true;
  textureKnown_ = true;
  texture_ = texture.name;
  return texture;
}

FixedMatrix BatchRenderer::PlacedClip(const QuadPlacement& place) const {
  FixedMatrix local = modelView_;
  local.Translate(place.pivotX, place.pivotY, 0.0f);
  local.RotateZ(place.angle);
  local.Scale(place.scale, place.scale, 1.0f);
  local.Translate(-place.halfW, -place.halfH, 0.0f);
  return Multiply(projection_, local);
}

void BatchRenderer::AddPlaced(const FixedMatrix& clip, const QuadCorners& corners) {
  ClipPosition positions[4];
  for (int i = 0; i < 4; ++i) {
    positions[i] =
        Transform(clip, static_cast<float>(corners.x[i]), static_cast<float>(corners.y[i]));
  }
  Add(positions, corners.u.data(), corners.v.data(), 4);
}

bool BatchRenderer::Large(const FixedMatrix& clip, const Texture& texture) const {
  const float* m = clip.m;
  const double pixels = GlPixelsPerUnit();
  const double unitPixels = std::fabs(static_cast<double>(m[0]) * m[5] - m[4] * m[1]) *
                            (width_ * pixels / 2.0) * (height_ * pixels / 2.0);
  return unitPixels * texture.width * texture.height >= kOutlinedPixels;
}

void BatchRenderer::AddOutlined(const FixedMatrix& clip, const SpriteOutline& outline,
                                const Texture& texture) {
  // A whole sprite's own units are its texels.
  const float width = static_cast<float>(texture.width);
  const float height = static_cast<float>(texture.height);
  const int last = outline.count - 1;
  for (int next = 1; next < last; next += 2) {
    const int fan[4] = {0, next, next + 1, std::min(next + 2, last)};
    ClipPosition positions[4];
    float u[4];
    float v[4];
    for (int i = 0; i < 4; ++i) {
      const TexelPoint& corner = outline.corners[fan[i]];
      positions[i] = Transform(clip, corner.x, corner.y);
      u[i] = corner.x / width;
      v[i] = corner.y / height;
    }
    Add(positions, u, v, 4);
  }
}

void BatchRenderer::DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle,
                               float scale) {
  if (texture.width <= 0 || texture.height <= 0 || Invisible()) return;
  const auto outlined = outlinesUsed_ ? outlines_.find(texture.name) : outlines_.end();
  if (outlined != outlines_.end() && outlined->second.count == 0) return;
  UseBlendFor(true);
  UseTexture(texture.name);
  const PlacedQuad quad = PlaceSprite(x, y, texture, angle, scale);
  const FixedMatrix clip = PlacedClip(quad.placement);
  if (outlined != outlines_.end() && Large(clip, texture)) {
    AddOutlined(clip, outlined->second, texture);
  } else {
    AddPlaced(clip, quad.corners);
  }
}

void BatchRenderer::DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w,
                                     int32_t h, const Texture& texture, float scale) {
  if (texture.width <= 0 || texture.height <= 0 || Invisible()) return;
  UseBlendFor(true);
  UseTexture(texture.name);
  const PlacedQuad quad = PlaceRegion(x, y, srcX, srcY, w, h, texture, scale);
  AddPlaced(PlacedClip(quad.placement), quad.corners);
}

void BatchRenderer::WarmUp(const std::vector<Texture>& textures) {
  const Blend blend = blend_;
  FragmentTally* tally = tally_;
  tally_ = nullptr;
  DrawEveryState(*this, textures);
  Flush();
  glFinish();
  ClearFrame();
  blend_ = blend;
  tally_ = tally;
}

}  // namespace fenwhit
