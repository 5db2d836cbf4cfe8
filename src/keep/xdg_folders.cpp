#include "keep/xdg_folders.h"

#include <cstdlib>

namespace fenwhit {

namespace {

bool IsAbsolute(const char* value) {
  return value != nullptr && value[0] == '/';
}

std::string WithoutTrailingSlashes(std::string folder) {
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder;
}

// An unset, empty or relative base folder is ignored, as the freedesktop rules say: a
// relative one would depend on wherever the game was started from.
std::string KeptFilePath(const EnvironmentLookup& lookup, const char* variable,
                         const char* belowHome, const char* fileName) {
  std::string base;
  if (const char* value = lookup(variable); IsAbsolute(value)) {
    base = WithoutTrailingSlashes(value);
  } else if (const char* home = lookup("HOME"); IsAbsolute(home)) {
    base = WithoutTrailingSlashes(home) + belowHome;
  } else {
    return "";
  }
  return base + "/fenwhit/" + fileName;
}

const char* ProcessEnvironment(const char* name) {
  return std::getenv(name);
}

}  // namespace

std::string ScoresPath(const EnvironmentLookup& lookup) {
  return KeptFilePath(lookup, "XDG_DATA_HOME", "/.local/share", "scores");
}

std::string ScoresPath() {
  return ScoresPath(ProcessEnvironment);
}

std::string SettingsPath(const EnvironmentLookup& lookup) {
  return KeptFilePath(lookup, "XDG_CONFIG_HOME", "/.config", "settings");
}

std::string SettingsPath() {
  return SettingsPath(ProcessEnvironment);
}

std::string ReplaysFolder(const EnvironmentLookup& lookup) {
  return KeptFilePath(lookup, "XDG_DATA_HOME", "/.local/share", "replays");
}

std::string ReplaysFolder() {
  return ReplaysFolder(ProcessEnvironment);
}

std::string BeatCacheFolder(const EnvironmentLookup& lookup) {
  return KeptFilePath(lookup, "XDG_CACHE_HOME", "/.cache", "beats");
}

std::string BeatCacheFolder() {
  return BeatCacheFolder(ProcessEnvironment);
}

}  // namespace fenwhit
