#pragma once
// Changes the rate of interleaved float audio by linear interpolation, keeping its
// phase from one block to the next so that block and loop seams stay continuous.
#include <cstdint>
#include <vector>

namespace fenwhit {

class LinearResampler {
 public:
  LinearResampler(int fromRate, int toRate, int channels);
  bool Identity() const { return from_ == to_; }
  // Appends the output frames that the input block makes available to out.
  void Process(const float* in, int frames, std::vector<float>& out);

 private:
  int64_t from_;
  int64_t to_;
  int channels_;
  // Position of the next output frame, in input frames times to_, counted from the
  // first frame of the next block; -to_ stands for the last frame of the previous block.
  int64_t phase_ = 0;
  float previous_[2] = {0.0f, 0.0f};
};

}  // namespace fenwhit
