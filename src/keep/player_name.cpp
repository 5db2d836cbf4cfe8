#include "keep/player_name.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "keep/scores.h"

namespace fenwhit {

namespace {

constexpr std::string_view kDefaultName = "PLAYER";

std::string LoginName() {
  const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 4096);
  // Entries larger than the suggestion exist (long home folders, network users).
  while (buffer.size() <= 1024 * 1024) {
    passwd entry{};
    passwd* found = nullptr;
    const int failure = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
    if (failure == ERANGE) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (failure != 0 || found == nullptr || found->pw_name == nullptr) return "";
    return found->pw_name;
  }
  return "";
}

}  // namespace

std::string PlayerName() {
  std::string name = LoginName();
  if (name.empty()) {
    const char* user = std::getenv("USER");
    if (user != nullptr) name = user;
  }
  return CleanPlayerName(name);
}

std::string CleanPlayerName(std::string_view raw) {
  std::string name;
  for (char c : raw) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (IsNameCharacter(c) && !(c == ' ' && name.empty())) name += c;
  }
  if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name.empty() ? std::string(kDefaultName) : name;
}

}  // namespace fenwhit
