#pragma once
#include <string>
#include <vector>

namespace fenwhit {

// Where the unpacked assets live, ending in "/". Fixed after start-up.
const std::string& DataDirectory();
void SetDataDirectory(const std::string& directory);

// The folder of the running executable, symbolic links resolved; empty if unknown.
std::string ExecutableDirectory();

// The places to look for the asset archive, in order: as given (a bare name is in the
// working directory), then beside the executable, then in the data folder of the tree
// the executable was installed into. Without an executable folder, only the first.
std::vector<std::string> ArchivePlaces(const std::string& archivePath,
                                       const std::string& executableDirectory);

}  // namespace fenwhit
