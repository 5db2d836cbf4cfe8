#include "support/udp_relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <queue>
#include <random>
#include <stdexcept>
#include <vector>

namespace fenwhit::testing {
namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

int LoopbackSocket() {
  int socketFd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address = Loopback(0);
  if (socketFd < 0 ||
      ::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("relay: no loopback socket");
  }
  return socketFd;
}

struct Pending {
  Clock::time_point due;
  uint64_t order;
  bool toServer;
  std::vector<uint8_t> bytes;
  bool operator>(const Pending& other) const {
    return due != other.due ? due > other.due : order > other.order;
  }
};

}  // namespace

UdpRelay::UdpRelay(uint16_t serverPort, RelayConditions conditions) : conditions_(conditions) {
  front_ = LoopbackSocket();
  back_ = LoopbackSocket();
  sockaddr_in server = Loopback(serverPort);
  ::connect(back_, reinterpret_cast<sockaddr*>(&server), sizeof server);
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  ::getsockname(front_, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.sin_port);
  thread_ = std::thread([this] { Run(); });
}

UdpRelay::~UdpRelay() {
  stop_ = true;
  thread_.join();
  ::close(front_);
  ::close(back_);
}

void UdpRelay::SetConditions(const RelayConditions& conditions) {
  std::lock_guard lock(mutex_);
  conditions_ = conditions;
}

void UdpRelay::Run() {
  std::mt19937 random(conditions_.seed);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::priority_queue<Pending, std::vector<Pending>, std::greater<>> pending;
  uint64_t order = 0;
  sockaddr_in client{};
  bool knowClient = false;
  std::vector<uint8_t> buffer(65536);

  auto schedule = [&](bool toServer, size_t size) {
    RelayConditions now;
    {
      std::lock_guard lock(mutex_);
      now = conditions_;
    }
    if (chance(random) < now.dropRate) {
      ++dropped_;
      return;
    }
    int copies = chance(random) < now.duplicateRate ? 2 : 1;
    if (copies == 2) ++duplicated_;
    for (int copy = 0; copy < copies; ++copy) {
      int jitter = now.jitterMs > 0
                       ? std::uniform_int_distribution<int>(-now.jitterMs, now.jitterMs)(random)
                       : 0;
      int late = chance(random) < now.reorderRate ? now.delayMs / 2 + 30 : 0;
      int delay = std::max(0, now.delayMs + jitter + late);
      pending.push({Clock::now() + std::chrono::milliseconds(delay), order++, toServer,
                    std::vector<uint8_t>(buffer.begin(), buffer.begin() + size)});
    }
  };

  while (!stop_) {
    pollfd fds[2] = {{front_, POLLIN, 0}, {back_, POLLIN, 0}};
    int waitMs = 5;
    if (!pending.empty()) {
      auto untilDue =
          std::chrono::duration_cast<std::chrono::milliseconds>(pending.top().due - Clock::now());
      waitMs = std::clamp(static_cast<int>(untilDue.count()), 0, 5);
    }
    ::poll(fds, 2, waitMs);
    if (fds[0].revents & POLLIN) {
      sockaddr_in from{};
      socklen_t length = sizeof from;
      ssize_t size = ::recvfrom(front_, buffer.data(), buffer.size(), 0,
                                reinterpret_cast<sockaddr*>(&from), &length);
      if (size >= 0) {
        client = from;
        knowClient = true;
        schedule(true, static_cast<size_t>(size));
      }
    }
    if (fds[1].revents & POLLIN) {
      // A refused send (nobody at the server port yet) comes back as an error here.
      ssize_t size = ::recv(back_, buffer.data(), buffer.size(), 0);
      if (size >= 0) schedule(false, static_cast<size_t>(size));
    }
    while (!pending.empty() && pending.top().due <= Clock::now()) {
      const Pending& next = pending.top();
      if (next.toServer) {
        ::send(back_, next.bytes.data(), next.bytes.size(), 0);
      } else if (knowClient) {
        ::sendto(front_, next.bytes.data(), next.bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(&client), sizeof client);
      }
      ++forwarded_;
      pending.pop();
    }
  }
}

}  // namespace fenwhit::testing
