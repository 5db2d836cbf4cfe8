#include "songs/song_stream.h"

#include <cstring>

#include "audio/vorbis_decoder.h"
#include "songs/sndfile_decoder.h"

namespace fenwhit {

namespace {

// An Ogg stream whose first packet is not an Opus header: Vorbis, or a damaged file.
bool IsOggButNotOpus(ByteSource& source) {
  char head[36] = {};
  const size_t read = source.Read(head, sizeof head);
  source.Seek(0, SEEK_SET);
  return read >= 4 && std::memcmp(head, "OggS", 4) == 0 &&
         !(read == sizeof head && std::memcmp(head + 28, "OpusHead", 8) == 0);
}

}  // namespace

std::unique_ptr<StreamDecoder> OpenSongDecoder(std::unique_ptr<ByteSource> source,
                                               std::string& error) {
  // libsndfile 1.2.0 leaks memory on some damaged Ogg Vorbis files; the game's own Vorbis
  // decoder, which plays its music, reads every Ogg song but Opus instead.
  if (source && IsOggButNotOpus(*source)) {
    auto decoder = VorbisDecoder::Open(std::move(source));
    if (!decoder) error = "not an Ogg Vorbis or Opus file, or a damaged one";
    return decoder;
  }
  return SndfileDecoder::Open(std::move(source), error);
}

OpenedSong OpenSong(SoundDevice& device, const std::string& path) {
  OpenedSong song;
  auto decoder = OpenSongDecoder(FileSource::Open(path), song.error);
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
