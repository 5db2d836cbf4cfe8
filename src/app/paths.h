#pragma once
#include <string>

namespace fenwhit {

// Where the unpacked assets live, ending in "/". Fixed after start-up.
const std::string& DataDirectory();
void SetDataDirectory(const std::string& directory);

}  // namespace fenwhit
