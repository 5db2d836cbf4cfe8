#pragma once
// Whole Ogg Vorbis files decoded at once into 16-bit mono at the mixing rate.
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/byte_source.h"

namespace fenwhit {

// The longest sample kept, in seconds; longer files are refused.
constexpr int kLongestSampleSeconds = 300;

// Downmixes every channel to one and resamples to mixRate. Returns false (and leaves
// out empty) for anything that is not a complete, decodable Ogg Vorbis file.
bool DecodeSample(std::unique_ptr<ByteSource> source, int mixRate, std::vector<int16_t>& out);

}  // namespace fenwhit
