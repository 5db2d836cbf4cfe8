#pragma once
// The addresses another machine could reach this one at, for a host to tell its player.
#include <string>
#include <vector>

namespace fenwhit {

// This machine's IPv4 addresses on interfaces that are up, dotted, loopback last.
std::vector<std::string> LocalIpv4Addresses();

}  // namespace fenwhit
