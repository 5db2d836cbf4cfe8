#pragma once
// Where the game keeps its best scores, settings and replays, by the freedesktop base-folder
// rules: $XDG_DATA_HOME, $XDG_CONFIG_HOME and $XDG_CACHE_HOME when set to an absolute path, else
// the usual folders below $HOME.
#include <functional>
#include <string>

namespace fenwhit {

// The value of an environment variable, or nullptr when it is unset.
using EnvironmentLookup = std::function<const char*(const char*)>;

// <data home>/fenwhit/scores; "" when there is no usable home folder (keep scores for the
// session only).
std::string ScoresPath(const EnvironmentLookup& lookup);
std::string ScoresPath();

// <config home>/fenwhit/settings; "" when there is no usable home folder.
std::string SettingsPath(const EnvironmentLookup& lookup);
std::string SettingsPath();

// <data home>/fenwhit/replays; "" when there is no usable home folder (keep no replays).
std::string ReplaysFolder(const EnvironmentLookup& lookup);
std::string ReplaysFolder();

// <cache home>/fenwhit/beats; "" when there is no usable home folder (analyse every time).
std::string BeatCacheFolder(const EnvironmentLookup& lookup);
std::string BeatCacheFolder();

}  // namespace fenwhit
