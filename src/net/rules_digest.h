#pragma once
// What makes two builds compute the rules alike, so that two machines can play one game in
// lockstep only when their games would never part ways.
#include <string>

#include "net/net_message.h"

namespace fenwhit {

// This build's: the game version, the architecture, the compiler and its version, and the
// arithmetic it was built for; at most 64 printable characters.
std::string RulesDigest();

// One line naming both builds, for when the handshake finds them unlike: "this game is 0.9.0
// (x86_64 gcc 12.2.0 strict-fp), the other 0.9.1 (aarch64 clang 15.0.7 strict-fp)".
std::string DescribeMismatch(const NetHello& mine, const NetHello& theirs);

}  // namespace fenwhit
