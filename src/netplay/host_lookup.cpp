#include "netplay/host_lookup.h"

#include <atomic>
#include <thread>

#include "net/enet_link.h"

namespace fenwhit {

struct HostLookup::Answer {
  std::atomic<bool> done{false};
  // Written by the thread before `done`, read by the caller only after it.
  bool found = false;
  uint32_t ipv4 = 0;
  std::string error;
};

HostLookup::HostLookup(const std::string& name) : answer_(std::make_shared<Answer>()) {
  std::thread([answer = answer_, name] {
    answer->found = LookUpIpv4(name, answer->ipv4, answer->error);
    answer->done.store(true, std::memory_order_release);
  }).detach();
}

bool HostLookup::Done() const {
  return answer_->done.load(std::memory_order_acquire);
}

std::optional<uint32_t> HostLookup::Address() const {
  if (!Done() || !answer_->found) return std::nullopt;
  return answer_->ipv4;
}

const std::string& HostLookup::Error() const {
  static const std::string kNone;
  return Done() ? answer_->error : kNone;
}

}  // namespace fenwhit
