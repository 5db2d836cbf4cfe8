#include "songs/song_stream.h"

#include "songs/sndfile_decoder.h"

namespace fenwhit {

OpenedSong OpenSong(SoundDevice& device, const std::string& path) {
  OpenedSong song;
  auto decoder = SndfileDecoder::Open(FileSource::Open(path), song.error);
  if (!decoder) return song;
  const double seconds = static_cast<double>(decoder->TotalFrames()) / decoder->Rate();
  song.stream = device.OpenDecodedStream(std::move(decoder));
  if (song.stream == 0) {
    song.error = "the sound device plays no songs";
  } else {
    song.seconds = seconds;
  }
  return song;
}

}  // namespace fenwhit
