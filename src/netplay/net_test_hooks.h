#pragma once
// Ways for the two-process tests to make one side of a network game misbehave, read from
// the environment in this one place.
#include <cstdint>
#include <optional>
#include <string>

namespace fenwhit {

// FENWHIT_TEST_NET_VERSION: the game version this side says in its hello.
std::optional<std::string> TestNetVersion();

// FENWHIT_TEST_NET_DESYNC_FRAME=N: this side adds 1 to its score just before frame N, so
// the two games go apart there.
std::optional<int64_t> TestNetDesyncFrame();

}  // namespace fenwhit
