#pragma once
// What the two-process tests ask of a game through its environment, read in one place.
#include <optional>
#include <string>

namespace fenwhit {

// FENWHIT_TEST_NET_VERSION: the game version this side says in its hello.
std::optional<std::string> TestNetVersion();

}  // namespace fenwhit
