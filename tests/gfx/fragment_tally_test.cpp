// The fragment tally's pixel counts, on shapes whose areas are known.
#include "gfx/fragment_tally.h"

#include <gtest/gtest.h>

namespace fenwhit {
namespace {

// A 200 x 100 picture: clip x = pixel / 100 - 1, clip y = pixel / 50 - 1.
ClipPosition At(double x, double y) {
  return {static_cast<float>(x / 100.0 - 1.0), static_cast<float>(y / 50.0 - 1.0), 0.0f};
}

TEST(FragmentTally, QuadsAndLinesCountOnlyThePixelsInsideThePicture) {
  const ClipPosition inside[4] = {At(10, 10), At(10, 30), At(50, 30), At(50, 10)};
  EXPECT_NEAR(QuadPixels(inside, 200, 100), 800, 1e-3);
  // Half beside the picture, and a quad much larger than it, turned.
  const ClipPosition half[4] = {At(-40, 0), At(-40, 10), At(40, 10), At(40, 0)};
  EXPECT_NEAR(QuadPixels(half, 200, 100), 400, 1e-3);
  const ClipPosition huge[4] = {At(-5000, 100), At(100, 5000), At(5000, 0), At(100, -5000)};
  EXPECT_NEAR(QuadPixels(huge, 200, 100), 20000, 1e-3);
  const ClipPosition away[4] = {At(300, 0), At(300, 10), At(340, 10), At(340, 0)};
  EXPECT_EQ(QuadPixels(away, 200, 100), 0);

  // A line covers its length along its major axis times its width, inside the picture.
  const ClipPosition across[2] = {At(-1000, 50), At(1000, 52)};
  EXPECT_NEAR(LinePixels(across, 5.0f, 200, 100), 5 * 205, 1);
  const ClipPosition down[2] = {At(20, 10), At(22, 90)};
  EXPECT_NEAR(LinePixels(down, 3.0f, 200, 100), 3 * 80, 1e-3);
  const ClipPosition beside[2] = {At(-30, -1000), At(-30, 1000)};
  EXPECT_EQ(LinePixels(beside, 5.0f, 200, 100), 0);
}

TEST(FragmentTally, LayersFollowTheFramesOrderAndBlending) {
  FragmentTally tally;
  tally.SetViewport(200, 100);
  const ClipPosition quad[4] = {At(0, 0), At(0, 10), At(10, 10), At(10, 0)};
  tally.Add({quad, 4, false, 1.0f, true, false, 0});  // before anything opaque: backdrop
  tally.Add({quad, 4, false, 1.0f, false, true, 0});  // opaque: a mask
  tally.Add({quad, 4, false, 1.0f, true, false, 0});  // after it: a shape
  tally.EndFrame();
  tally.Add({quad, 4, false, 1.0f, true, false, 0});
  tally.EndFrame();
  ASSERT_EQ(tally.Frames().size(), 2u);
  const FramePixels& first = tally.Frames()[0];
  EXPECT_NEAR(first[static_cast<size_t>(Layer::kBackdrop)].blended, 100, 1e-3);
  EXPECT_NEAR(first[static_cast<size_t>(Layer::kMasks)].covered, 100, 1e-3);
  EXPECT_EQ(first[static_cast<size_t>(Layer::kMasks)].blended, 0);
  EXPECT_NEAR(first[static_cast<size_t>(Layer::kShapes)].covered, 100, 1e-3);
  // A new frame starts again from the backdrop.
  EXPECT_NEAR(tally.Frames()[1][static_cast<size_t>(Layer::kBackdrop)].covered, 100, 1e-3);
}

}  // namespace
}  // namespace fenwhit
