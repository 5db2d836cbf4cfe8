#pragma once
// fenwhit --analyse FILE: a song's tempo and then each beat time in seconds, a line each.
#include <ostream>
#include <string>

namespace fenwhit {

// 0 when printed; 2, with one line on err and nothing on out, for a file it cannot read.
int PrintSongBeats(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace fenwhit
