// The flash counter on made-up luminance sequences and frames.
#include "feel/flash_counter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace fenwhit {
namespace {

constexpr double kFrame = 1.0 / 60;

// Feeds `seconds` of frames at 60 a second, luminance from the function of time.
FlashCounter Counted(double seconds, const std::function<double(double)>& luminance) {
  FlashCounter counter;
  for (int i = 0; i * kFrame < seconds; ++i) counter.AddFrame(i * kFrame, luminance(i * kFrame));
  return counter;
}

// A beat flash: up at once, then fading over `fade` seconds, `perSecond` times a second.
std::function<double(double)> Beats(double perSecond, double fade, double low, double high) {
  return [=](double t) {
    const double since = std::fmod(t, 1.0 / perSecond);
    return since >= fade ? low : high - (high - low) * since / fade;
  };
}

TEST(FlashCounter, CountsFlashesAsTheyComeInASecond) {
  // Three beat flashes a second, each black to white and fading in a quarter second.
  const auto three = Counted(5, Beats(3, 0.25, 0.0, 1.0));
  EXPECT_EQ(three.MostFlashesInOneSecond(), 3);
  EXPECT_EQ(three.TotalFlashes(), 14);  // the first starts bright: half a flash
  // One flash a second, and a flash within dark greys alone.
  EXPECT_EQ(Counted(5, Beats(1, 0.25, 0.0, 1.0)).MostFlashesInOneSecond(), 1);
  EXPECT_EQ(Counted(5, Beats(4, 0.1, 0.05, 0.2)).MostFlashesInOneSecond(), 4);
  // Two quick flashes after a long dark stretch are two, and are found in their second.
  const auto late = Counted(7, [](double t) {
    return (t >= 5 && t < 5.1) || (t >= 5.3 && t < 5.4) ? 1.0 : 0.0;
  });
  EXPECT_EQ(late.MostFlashesInOneSecond(), 2);
  EXPECT_EQ(late.MostBySecond(), (std::vector<int>{0, 0, 0, 0, 0, 2}));
  // A square wave at 10 Hz: ten flashes a second.
  EXPECT_EQ(Counted(3, [](double t) { return std::fmod(t, 0.1) < 0.05 ? 0.1 : 0.6; })
                .MostFlashesInOneSecond(),
            10);
}

TEST(FlashCounter, IgnoresWhatIsNotAFlash) {
  // Slow fades: black to white and back over three seconds, repeatedly.
  EXPECT_EQ(Counted(10, [](double t) { return 0.5 - 0.5 * std::cos(t * 3.14159 / 1.5); })
                .MostFlashesInOneSecond(),
            0);
  // Small changes, however fast.
  EXPECT_EQ(Counted(5, Beats(6, 0.05, 0.3, 0.39)).TotalFlashes(), 0);
  // Changes among bright states: the darker state is never below 0.8.
  EXPECT_EQ(Counted(5, Beats(6, 0.05, 0.82, 1.0)).TotalFlashes(), 0);
  // A rise among bright states is no change; the fall after it is half a flash.
  EXPECT_EQ(
      Counted(1, [](double t) { return t < 0.3   ? 0.85
                                       : t < 0.6 ? 0.96
                                                 : 0.5; }).TotalFlashes(), 0);
  // A single step up and staying there is half a flash.
  EXPECT_EQ(Counted(3, [](double t) { return t < 1 ? 0.0 : 1.0; }).TotalFlashes(), 0);
  // A change built from small steps still counts once it spans a tenth.
  EXPECT_EQ(Counted(3, Beats(1, 0.5, 0.2, 0.5)).MostFlashesInOneSecond(), 1);
}

TEST(FlashCounter, RelativeLuminanceOfSrgb) {
  EXPECT_DOUBLE_EQ(RelativeLuminance(0, 0, 0), 0.0);
  EXPECT_NEAR(RelativeLuminance(255, 255, 255), 1.0, 1e-12);
  EXPECT_NEAR(RelativeLuminance(128, 128, 128), 0.2159, 1e-4);  // mid grey is dark
  EXPECT_NEAR(RelativeLuminance(0, 255, 0), 0.7152, 1e-12);     // green weighs most
}

std::vector<uint8_t> Frame(int width, int height, const std::function<uint8_t(int, int)>& grey) {
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4, 255);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
      p[0] = p[1] = p[2] = grey(x, y);
    }
  }
  return rgba;
}

TEST(FrameFlashMeter, FindsAFlashInOneAreaThatTheWholeFrameHides) {
  constexpr int kW = 90, kH = 60;
  const auto dark = Frame(kW, kH, [](int, int) { return 0; });
  // The bottom-right ninth goes half white (0.49) six times a second: the whole frame's
  // mean moves by a ninth of that, too little to count.
  const auto corner = Frame(kW, kH, [](int x, int y) { return x >= 60 && y >= 40 ? 186 : 0; });
  FrameFlashMeter meter;
  for (int i = 0; i < 120; ++i) {
    const auto& frame = i % 10 < 5 ? dark : corner;
    meter.AddFrame(i * kFrame, frame.data(), kW, kH);
  }
  EXPECT_EQ(meter.MostFlashesInOneSecond(), 6);
  FrameFlashMeter wholeOnly(1);
  for (int i = 0; i < 120; ++i) {
    wholeOnly.AddFrame(i * kFrame, (i % 10 < 5 ? dark : corner).data(), kW, kH);
  }
  EXPECT_EQ(wholeOnly.MostFlashesInOneSecond(), 0);
}

}  // namespace
}  // namespace fenwhit
