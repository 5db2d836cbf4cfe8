#include "music_choice/first_choice.h"

#include <filesystem>
#include <system_error>

#include "keep/settings.h"
#include "songs/chosen_songs.h"

namespace fenwhit {

void StartWithMusic(ChosenSongs& songs, const std::string& forThisRun, const Settings& remembered,
                    std::ostream& err) {
  if (!forThisRun.empty()) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(forThisRun, error);
    const std::string path = error ? forThisRun : absolute.lexically_normal().string();
    if (!songs.Choose(path)) {
      err << "fenwhit: " << forThisRun << ": " << songs.View().troubleWhy
          << "; the game's own music plays\n";
    }
    return;
  }
  if (remembered.music.empty()) return;
  if (songs.Choose(remembered.music) && remembered.ownMusic) songs.SetOwnMusic(true);
}

}  // namespace fenwhit
