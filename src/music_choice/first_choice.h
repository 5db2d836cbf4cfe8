#pragma once
// The music the run starts with: --music for this run, else what the player last chose.
#include <ostream>
#include <string>

namespace fenwhit {

class ChosenSongs;
struct Settings;

// forThisRun: the --music path ("" for none), made absolute here so that the menu can
// remember it should the player switch. A path with no songs is said on err.
void StartWithMusic(ChosenSongs& songs, const std::string& forThisRun, const Settings& remembered,
                    std::ostream& err);

}  // namespace fenwhit
