#pragma once
// Finding a host's address without stopping the window: the system's resolver may take
// seconds for a name, so it works on a thread of its own, and the caller looks in on it
// every frame. A lookup dropped before it is done finishes unseen.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace fenwhit {

class HostLookup {
 public:
  explicit HostLookup(const std::string& name);

  // True once the answer has come: then Address() or Error().
  bool Done() const;
  // The IPv4 address, network byte order, when one was found.
  std::optional<uint32_t> Address() const;
  const std::string& Error() const;

 private:
  struct Answer;
  std::shared_ptr<Answer> answer_;
};

}  // namespace fenwhit
