#include "songs/song_game_music.h"

#include <memory>
#include <string>

#include "songs/song_after_song_counter.h"
#include "songs/song_sequence_decoder.h"
#include "songs/song_stream.h"

namespace fenwhit {

bool SongGameMusic::StartGameMusic() {
  for (int tried = 0; tried < kMostSongsTried; ++tried) {
    std::optional<PreparedSong> song = supply_.TakeSongForGame();
    if (!song) return false;
    std::string why;
    std::unique_ptr<StreamDecoder> decoder = OpenSongFile(song->path, why);
    if (!decoder) {
      supply_.CannotPlay(song->path, why);
      continue;
    }
    const double seconds = DeclaredSeconds(*decoder);
    auto joins = std::make_shared<SongJoins>();
    const SoundHandle stream =
        device_.OpenDecodedStream(std::make_unique<SongSequenceDecoder>(std::move(decoder), joins));
    // A device that plays no songs: no song would do better.
    if (stream == 0) return false;
    SetGameSong({song->title, song->contentKey, song->path});
    StartSongGameMusic(stream, std::make_unique<SongAfterSongCounter>(
                                   device_, stream, supply_, joins, std::move(*song), seconds));
    return true;
  }
  return false;
}

}  // namespace fenwhit
