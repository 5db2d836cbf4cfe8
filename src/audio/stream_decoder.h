#pragma once
// What a stream decodes its sound through: the game's own Ogg Vorbis music, or a player's
// song in any format the song decoder reads.
#include <cstdint>

namespace fenwhit {

class StreamDecoder {
 public:
  virtual ~StreamDecoder() = default;
  // The rate of the frames the last Read gave (of the first frames before any Read).
  virtual int Rate() const = 0;
  // Frames in the whole file, as the file declares them.
  virtual int64_t TotalFrames() const = 0;
  // Decodes up to maxFrames frames. channels[c][i] is channel c of frame i; channelCount
  // says how many there are. Returns the frame count, 0 at the end of the file, or a
  // negative value on a damaged stretch (which may be skipped by reading on).
  virtual long Read(float*** channels, int& channelCount, int maxFrames) = 0;
  // Back to the first frame, sample-exactly.
  virtual bool Rewind() = 0;
};

}  // namespace fenwhit
