#include "netplay/net_test_hooks.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace fenwhit {

namespace {

// A whole non-negative number, else nothing.
std::optional<int64_t> ReadFrameNumber(const char* name) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return std::nullopt;
  int64_t value = 0;
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, value);
  if (error != std::errc() || stop != end || value < 0) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::string> TestNetVersion() {
  const char* version = std::getenv("FENWHIT_TEST_NET_VERSION");
  if (version == nullptr || *version == '\0') return std::nullopt;
  return std::string(version);
}

std::optional<int64_t> TestNetDesyncFrame() {
  return ReadFrameNumber("FENWHIT_TEST_NET_DESYNC_FRAME");
}

}  // namespace fenwhit
