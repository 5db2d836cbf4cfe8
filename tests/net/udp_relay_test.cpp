#include "support/udp_relay.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace fenwhit::testing {
namespace {

using Clock = std::chrono::steady_clock;

struct LoopbackSocket {
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  LoopbackSocket() {
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  }
  ~LoopbackSocket() { ::close(fd); }
  uint16_t Port() const { return ntohs(address.sin_port); }
  void SendTo(uint16_t port, uint32_t number) const {
    sockaddr_in to = address;
    to.sin_port = htons(port);
    ::sendto(fd, &number, sizeof number, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  }
  // The numbers that come until `quietMs` pass without one, in the order they come; when the
  // first came, and who sent the last.
  std::vector<uint32_t> ReceiveUntilQuiet(int quietMs, Clock::time_point* first = nullptr,
                                          sockaddr_in* from = nullptr) const {
    std::vector<uint32_t> numbers;
    pollfd wait{fd, POLLIN, 0};
    while (::poll(&wait, 1, quietMs) > 0) {
      uint32_t number = 0;
      sockaddr_in sender{};
      socklen_t length = sizeof sender;
      if (::recvfrom(fd, &number, sizeof number, 0, reinterpret_cast<sockaddr*>(&sender),
                     &length) != sizeof number) {
        continue;
      }
      if (numbers.empty() && first) *first = Clock::now();
      numbers.push_back(number);
      if (from) *from = sender;
    }
    return numbers;
  }
};

TEST(UdpRelay, DelaysDropsDoublesAndReordersDatagramsBothWays) {
  LoopbackSocket server, client;
  UdpRelay relay(
      server.Port(),
      {.delayMs = 40, .dropRate = 0.1, .duplicateRate = 0.1, .reorderRate = 0.1, .seed = 3});
  constexpr uint32_t kCount = 300;
  auto start = Clock::now();
  // In bursts a socket's buffer holds.
  for (uint32_t number = 0; number < kCount; ++number) {
    client.SendTo(relay.Port(), number);
    if (number % 50 == 49) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  sockaddr_in relaySide{};
  Clock::time_point first;
  std::vector<uint32_t> arrived = server.ReceiveUntilQuiet(300, &first, &relaySide);
  EXPECT_GE(first - start, std::chrono::milliseconds(40));  // nothing before the delay

  std::set<uint32_t> distinct(arrived.begin(), arrived.end());
  EXPECT_GT(distinct.size(), kCount * 8 / 10);  // about a tenth lost
  EXPECT_LT(distinct.size(), kCount * 97 / 100);
  EXPECT_GT(arrived.size(), distinct.size());  // some came twice
  EXPECT_FALSE(std::is_sorted(arrived.begin(), arrived.end()));
  EXPECT_EQ(relay.Dropped() + static_cast<int64_t>(distinct.size()), kCount);

  // The server's answers go back to the client.
  relay.SetConditions({.delayMs = 10});
  server.SendTo(ntohs(relaySide.sin_port), 77);
  EXPECT_EQ(client.ReceiveUntilQuiet(300), std::vector<uint32_t>{77});
}

}  // namespace
}  // namespace fenwhit::testing
