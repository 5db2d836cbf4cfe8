#pragma once
// Counts the flashes a player sees: pairs of opposing luminance changes of a tenth or
// more of full white, where the darker state is below 0.8 (dimmer changes than that, or
// changes among bright states, do not read as flashes). Reports the most in any second.
#include <cstdint>
#include <deque>
#include <vector>

namespace fenwhit {

class FlashCounter {
 public:
  // One presented frame: when it was shown and its relative luminance (0 black, 1 white).
  void AddFrame(double seconds, double luminance);
  int MostFlashesInOneSecond() const { return most_; }
  int TotalFlashes() const { return transitions_ / 2; }
  // By whole second of the run: the most flashes in the second before any change that
  // began in it (0 where none did), so the seconds that flash most can be found.
  const std::vector<int>& MostBySecond() const { return bySecond_; }

 private:
  enum class Direction { kNone, kUp, kDown };
  void Transition(double seconds, Direction direction);

  bool started_ = false;
  Direction last_ = Direction::kNone;
  // The darkest and brightest since the last change, the turning points a change is
  // measured from.
  double low_ = 0;
  double high_ = 0;
  double lowSeconds_ = 0;
  double highSeconds_ = 0;
  int transitions_ = 0;
  int most_ = 0;
  std::deque<double> recent_;  // when the changes of the last second began
  std::vector<int> bySecond_;
};

// The relative luminance of an sRGB value from 0 to 255 (WCAG's formula).
double RelativeLuminance(uint8_t r, uint8_t g, uint8_t b);

// Luminance of a whole frame and of its large areas, each counted on its own, so a flash
// filling a ninth of the screen is not hidden by a steady rest of the picture.
class FrameFlashMeter {
 public:
  // Areas per side: 3 gives ninths, about the size of the area a flash must cover to
  // matter at a usual viewing distance.
  explicit FrameFlashMeter(int areasPerSide = 3);
  // RGBA pixels, rows in any order.
  void AddFrame(double seconds, const uint8_t* rgba, int width, int height);
  int MostFlashesInOneSecond() const;
  const FlashCounter& Whole() const { return whole_; }
  const std::vector<FlashCounter>& Areas() const { return areas_; }

 private:
  int areasPerSide_;
  FlashCounter whole_;
  std::vector<FlashCounter> areas_;
  std::vector<double> sums_;
  std::vector<int> counts_;
};

}  // namespace fenwhit
