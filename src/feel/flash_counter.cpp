#include "feel/flash_counter.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace fenwhit {

namespace {

// A change must span a tenth of full white, and its darker end must be below this.
constexpr double kChange = 0.1;
constexpr double kDarkerBelow = 0.8;
// Within this of a turning point the luminance is still at it (a moving ball is no change).
constexpr double kStillAtTurn = kChange / 10;

const std::array<double, 256>& LinearLevels() {
  static const std::array<double, 256> levels = [] {
    std::array<double, 256> table{};
    for (int i = 0; i < 256; ++i) {
      const double c = i / 255.0;
      table[i] = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return table;
  }();
  return levels;
}

}  // namespace

double RelativeLuminance(uint8_t r, uint8_t g, uint8_t b) {
  const auto& level = LinearLevels();
  return 0.2126 * level[r] + 0.7152 * level[g] + 0.0722 * level[b];
}

void FlashCounter::AddFrame(double seconds, double luminance) {
  if (!started_ || luminance < low_) low_ = luminance;
  if (!started_ || luminance > high_) high_ = luminance;
  started_ = true;
  // A turning point lasts while the luminance stays at it, and a change is dated from
  // when it left: a slow swing's two halves are as far apart in time as they look, and
  // a flash after a long steady stretch is not dated back to the stretch's start.
  if (luminance - low_ < kStillAtTurn) lowSeconds_ = seconds;
  if (high_ - luminance < kStillAtTurn) highSeconds_ = seconds;
  if (last_ != Direction::kUp && luminance - low_ >= kChange && low_ < kDarkerBelow) {
    Transition(lowSeconds_, Direction::kUp);
  } else if (last_ != Direction::kDown && high_ - luminance >= kChange &&
             luminance < kDarkerBelow) {
    Transition(highSeconds_, Direction::kDown);
  } else {
    return;
  }
  low_ = high_ = luminance;
  lowSeconds_ = highSeconds_ = seconds;
}

void FlashCounter::Transition(double seconds, Direction direction) {
  last_ = direction;
  ++transitions_;
  recent_.push_back(seconds);
  while (recent_.front() <= recent_.back() - 1.0) recent_.pop_front();
  const int flashes = static_cast<int>(recent_.size()) / 2;
  most_ = std::max(most_, flashes);
  const auto second = static_cast<size_t>(std::max(0.0, seconds));
  if (second >= bySecond_.size()) bySecond_.resize(second + 1, 0);
  bySecond_[second] = std::max(bySecond_[second], flashes);
}

FrameFlashMeter::FrameFlashMeter(int areasPerSide)
    : areasPerSide_(std::max(1, areasPerSide)),
      areas_(static_cast<size_t>(areasPerSide_) * areasPerSide_),
      sums_(areas_.size()),
      counts_(areas_.size()) {}

void FrameFlashMeter::AddFrame(double seconds, const uint8_t* rgba, int width, int height) {
  if (width <= 0 || height <= 0) return;
  std::fill(sums_.begin(), sums_.end(), 0.0);
  std::fill(counts_.begin(), counts_.end(), 0);
  double total = 0;
  for (int y = 0; y < height; ++y) {
    const int row = y * areasPerSide_ / height;
    const uint8_t* p = rgba + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, p += 4) {
      const double l = RelativeLuminance(p[0], p[1], p[2]);
      const size_t area = static_cast<size_t>(row * areasPerSide_ + x * areasPerSide_ / width);
      sums_[area] += l;
      ++counts_[area];
      total += l;
    }
  }
  whole_.AddFrame(seconds, total / (static_cast<double>(width) * height));
  for (size_t i = 0; i < areas_.size(); ++i) {
    if (counts_[i] > 0) areas_[i].AddFrame(seconds, sums_[i] / counts_[i]);
  }
}

int FrameFlashMeter::MostFlashesInOneSecond() const {
  int most = whole_.MostFlashesInOneSecond();
  for (const auto& area : areas_) most = std::max(most, area.MostFlashesInOneSecond());
  return most;
}

}  // namespace fenwhit
