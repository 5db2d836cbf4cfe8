#pragma once
// A replay of a game played to a song of the player's plays that song again, found by its
// content wherever it now lies near where it was; the beats still come from the replay.
#include <optional>
#include <ostream>
#include <string>

#include "audio/music.h"
#include "replay/replay_file.h"

namespace fenwhit {

// A search reads at most this many files, and walks at most ten times as many entries.
inline constexpr int kMostSongFilesRead = 2000;

// The file holding the song's content: the recorded path if it still does, else a file in
// that path's folder, else `musicSetting` (the player's song file, or a folder and the
// folders within it). Anything but a plain file, and any file that cannot be read, is
// passed over; the first match ends the search. nullopt when nothing matches.
std::optional<std::string> FindReplaySong(const ReplaySong& song, const std::string& musicSetting);

// The game music of a replay's game: its song on the game music channel, counting no beats;
// silent (neither the song nor the game's own music, which would be off the beat) when the
// song is not found or will not play, which one line on `err` says.
class ReplaySongMusic final : public GameMusicChoice {
 public:
  ReplaySongMusic(ReplaySong song, std::optional<std::string> path, std::ostream& err);

  bool StartGameMusic() override;

 private:
  void PlayWithoutMusic(const std::string& why);

  ReplaySong song_;
  std::optional<std::string> path_;
  std::ostream& err_;
};

}  // namespace fenwhit
