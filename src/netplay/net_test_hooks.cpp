#include "netplay/net_test_hooks.h"

#include <cstdlib>

namespace fenwhit {

std::optional<std::string> TestNetVersion() {
  const char* version = std::getenv("FENWHIT_TEST_NET_VERSION");
  if (version == nullptr || *version == '\0') return std::nullopt;
  return std::string(version);
}

}  // namespace fenwhit
