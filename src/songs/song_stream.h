#pragma once
// A player's song opened as a looping stream on the sound device, streamed from disk.
#include <memory>
#include <string>

#include "audio/byte_source.h"
#include "audio/sound_device.h"
#include "audio/stream_decoder.h"

namespace fenwhit {

struct OpenedSong {
  SoundHandle stream = 0;  // 0 when the song cannot be played; `error` says why
  double seconds = 0.0;    // one play of the song
  std::string error;
};

OpenedSong OpenSong(SoundDevice& device, const std::string& path);

// The decoder for a song's bytes: Ogg Vorbis through the game's own Vorbis decoder,
// everything else through libsndfile. nullptr with `error` when neither can read it.
std::unique_ptr<StreamDecoder> OpenSongDecoder(std::unique_ptr<ByteSource> source,
                                               std::string& error);
// The same for a song file on disk.
std::unique_ptr<StreamDecoder> OpenSongFile(const std::string& path, std::string& error);
// One play of the song as its file declares it (which may be wrong).
double DeclaredSeconds(const StreamDecoder& decoder);

}  // namespace fenwhit
