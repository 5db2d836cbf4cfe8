#pragma once
// A bad internet on loopback: sits between one UDP client and a server port and forwards
// datagrams both ways, late, jittery, lost, doubled and out of order, on its own thread.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace fenwhit::testing {

struct RelayConditions {
  int delayMs = 0;   // each way
  int jitterMs = 0;  // up to this much more or less, each datagram
  double dropRate = 0;
  double duplicateRate = 0;
  double reorderRate = 0;  // these are held back long enough for later ones to pass them
  uint32_t seed = 1;
};

class UdpRelay {
 public:
  // Forwards to 127.0.0.1:serverPort; clients send to 127.0.0.1:Port().
  UdpRelay(uint16_t serverPort, RelayConditions conditions);
  ~UdpRelay();
  UdpRelay(const UdpRelay&) = delete;
  UdpRelay& operator=(const UdpRelay&) = delete;

  uint16_t Port() const { return port_; }
  // Changes the conditions from now on (the random sequence goes on).
  void SetConditions(const RelayConditions& conditions);
  int64_t Forwarded() const { return forwarded_; }
  int64_t Dropped() const { return dropped_; }
  int64_t Duplicated() const { return duplicated_; }

 private:
  void Run();

  int front_ = -1;  // the client's side
  int back_ = -1;   // connected to the server
  uint16_t port_ = 0;
  std::mutex mutex_;
  RelayConditions conditions_;
  std::atomic<bool> stop_{false};
  std::atomic<int64_t> forwarded_{0}, dropped_{0}, duplicated_{0};
  std::thread thread_;
};

}  // namespace fenwhit::testing
