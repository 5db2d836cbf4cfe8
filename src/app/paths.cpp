#include "app/paths.h"

namespace fenwhit {

namespace {
std::string dataDirectory;
}

const std::string& DataDirectory() { return dataDirectory; }
void SetDataDirectory(const std::string& directory) { dataDirectory = directory; }

}  // namespace fenwhit
