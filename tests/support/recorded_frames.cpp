#include "support/recorded_frames.h"

#include <map>

#include "gfx/draw.h"
#include "gfx/sprites.h"
#include "replay/replay_check.h"
#include "replay/replay_player.h"
#include "support/program_harness.h"

namespace fenwhit::testing {

namespace {

// Keeps the calls of one frame at a time, and the frame itself when it is wanted.
class FrameCatcher : public RecordingRenderer {
 public:
  explicit FrameCatcher(const std::set<int64_t>& wanted) : wanted_(wanted) {}

  void SetUpWindow(int32_t width, int32_t height) override {
    width_ = width;
    height_ = height;
    RecordingRenderer::SetUpWindow(width, height);
  }
  void SetBlendAlpha() override {
    blend_ = {"blend_alpha", {}, {}, 0};
    RecordingRenderer::SetBlendAlpha();
  }
  void SetBlendAdditive() override {
    blend_ = {"blend_additive", {}, {}, 0};
    RecordingRenderer::SetBlendAdditive();
  }
  void SetColor(int32_t r, int32_t g, int32_t b, int32_t a) override {
    colour_ = {"color", {r & 255, g & 255, b & 255, a & 255}, {}, 0};
    RecordingRenderer::SetColor(r, g, b, a);
  }
  // A frame starts with the blend and colour the last one left.
  void ClearFrame() override {
    ClearCalls();
    RecordingRenderer::ClearFrame();
    if (!blend_.op.empty()) Record(blend_);
    Record(colour_);
  }
  void PresentFrame() override {
    RecordingRenderer::PresentFrame();
    const int64_t number = Presented();
    const size_t drawn = Calls().size();
    if (wanted_.count(number) > 0) caught_.push_back({number, width_, height_, Calls()});
    if (drawn > busiest_.calls.size()) busiest_ = {number, width_, height_, Calls()};
  }

  std::vector<RecordedFrame> Take() {
    caught_.push_back(std::move(busiest_));
    return std::move(caught_);
  }

 private:
  std::set<int64_t> wanted_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  DrawCall blend_;
  DrawCall colour_{"color", {255, 255, 255, 255}, {}, 0};
  std::vector<RecordedFrame> caught_;
  RecordedFrame busiest_;
};

}  // namespace

RecordedFrames CatchFrames(const std::string& replayPath, const std::set<int64_t>& numbers) {
  RecordedFrames out;
  const std::optional<Replay> replay = ReadPlayableReplay(replayPath, out.error);
  if (!replay) return out;
  ProgramHarness harness;
  FrameCatcher catcher(numbers);
  ReplayPlayer player(harness.platform, ReplayPlayer::Mode::kCheck);
  ReplayOutcome outcome;
  PlayRecordedGame(player, catcher, harness.sound, harness.options, *replay, outcome);
  if (!outcome.matches) out.error = "played otherwise than recorded: " + outcome.difference;
  out.pictures = pictures;
  out.frames = catcher.Take();
  return out;
}

void DrawRecordedFrame(const RecordedFrame& frame, const Pictures& caught, const Pictures& into) {
  std::map<unsigned, Texture> textures;
  const std::vector<Texture> from = EveryTexture(caught);
  const std::vector<Texture> to = EveryTexture(into);
  for (size_t i = 0; i < from.size(); ++i) textures[from[i].name] = to[i];
  for (const DrawCall& c : frame.calls) {
    const std::vector<int>& n = c.ints;
    const std::vector<float>& f = c.floats;
    const Texture texture = textures[c.textureName];
    if (c.op == "blend_alpha") SetBlendAlpha();
    if (c.op == "blend_additive") SetBlendAdditive();
    if (c.op == "color") SetColor(n[0], n[1], n[2], n[3]);
    if (c.op == "fill_rect") FillRect(n[0], n[1], n[2], n[3]);
    if (c.op == "fill_corners") FillRectCorners(n[0], n[1], n[2], n[3]);
    if (c.op == "line") DrawLine(n[0], n[1], n[2], n[3], f[0]);
    if (c.op == "scene") SetSceneTransform(f[0], f[1], n[0], n[1]);
    if (c.op == "scene_xy") SetSceneTransformXY(f[0], f[1], f[2], n[0], n[1]);
    if (c.op == "scene_reset") ResetSceneTransform();
    if (c.op == "sprite") DrawSprite(n[0], n[1], texture, f[0], f[1]);
    if (c.op == "region") DrawSpriteRegion(n[0], n[1], n[2], n[3], n[4], n[5], texture, f[0]);
  }
}

}  // namespace fenwhit::testing
