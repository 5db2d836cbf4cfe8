#include "netplay/local_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>

namespace fenwhit {

std::vector<std::string> LocalIpv4Addresses() {
  std::vector<std::string> outward, loopback;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return {};
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
        (entry->ifa_flags & IFF_UP) == 0) {
      continue;
    }
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
    if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) == nullptr) continue;
    auto& into = (entry->ifa_flags & IFF_LOOPBACK) != 0 ? loopback : outward;
    if (std::find(into.begin(), into.end(), text) == into.end()) into.emplace_back(text);
  }
  freeifaddrs(list);
  outward.insert(outward.end(), loopback.begin(), loopback.end());
  return outward;
}

}  // namespace fenwhit
