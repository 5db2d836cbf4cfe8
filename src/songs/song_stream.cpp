#include "songs/song_stream.h"

#include <cstring>

#include "audio/vorbis_decoder.h"
#include "songs/sndfile_decoder.h"

namespace fenwhit {

namespace {

bool IsOgg(ByteSource& source) {
  char head[4] = {};
  const bool read = source.Read(head, sizeof head) == sizeof head;
  source.Seek(0, SEEK_SET);
  return read && std::memcmp(head, "OggS", 4) == 0;
}

}  // namespace

std::unique_ptr<StreamDecoder> OpenSongDecoder(std::unique_ptr<ByteSource> source,
                                               std::string& error) {
  // libsndfile 1.2.0 leaks memory on some damaged Ogg files; the game's own Vorbis
  // decoder, which plays its music, reads every Ogg song but one that starts as Opus.
  if (source && IsOgg(*source) && !StartsWithOggPacket(*source, "OpusHead")) {
    auto decoder = VorbisDecoder::Open(std::move(source));
    if (!decoder) error = "damaged or unsupported";
    return decoder;
  }
  return SndfileDecoder::Open(std::move(source), error);
}

std::unique_ptr<StreamDecoder> OpenSongFile(const std::string& path, std::string& error) {
  return OpenSongDecoder(FileSource::Open(path), error);
}

double DeclaredSeconds(const StreamDecoder& decoder) {
  return decoder.Rate() > 0 ? static_cast<double>(decoder.TotalFrames()) / decoder.Rate() : 0.0;
}

OpenedSong OpenSong(SoundDevice& device, const std::string& path) {
  OpenedSong song;
  auto decoder = OpenSongFile(path, song.error);
  if (!decoder) return song;
  const double seconds = DeclaredSeconds(*decoder);
  song.stream = device.OpenDecodedStream(std::move(decoder));
  if (song.stream == 0) {
    song.error = "the sound device plays no songs";
  } else {
    song.seconds = seconds;
  }
  return song;
}

}  // namespace fenwhit
