// Where the scores, settings and replays are kept, from the environment.
#include "keep/xdg_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace fenwhit {
namespace {

EnvironmentLookup From(const std::map<std::string, std::string>& variables) {
  return [variables](const char* name) -> const char* {
    const auto found = variables.find(name);
    return found == variables.end() ? nullptr : found->second.c_str();
  };
}

TEST(XdgFolders, BaseFoldersOrHome) {
  const auto both =
      From({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/data/ann/"}, {"XDG_CONFIG_HOME", "/conf"}});
  EXPECT_EQ(ScoresPath(both), "/data/ann/fenwhit/scores");
  EXPECT_EQ(SettingsPath(both), "/conf/fenwhit/settings");
  EXPECT_EQ(ReplaysFolder(both), "/data/ann/fenwhit/replays");

  // Unset, empty and relative base folders all mean the usual place below $HOME.
  for (const auto& lookup :
       {From({{"HOME", "/home/ann"}}),
        From({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", ""}, {"XDG_CONFIG_HOME", ""}}),
        From({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "./c"}})}) {
    EXPECT_EQ(ScoresPath(lookup), "/home/ann/.local/share/fenwhit/scores");
    EXPECT_EQ(SettingsPath(lookup), "/home/ann/.config/fenwhit/settings");
    EXPECT_EQ(ReplaysFolder(lookup), "/home/ann/.local/share/fenwhit/replays");
  }

  // Without a usable home: kept for the session only, unless the base folder is given.
  for (const auto& lookup : {From({}), From({{"HOME", ""}}), From({{"HOME", "ann"}})}) {
    EXPECT_EQ(ScoresPath(lookup), "");
    EXPECT_EQ(SettingsPath(lookup), "");
    EXPECT_EQ(ReplaysFolder(lookup), "");
  }
  EXPECT_EQ(ScoresPath(From({{"XDG_DATA_HOME", "/d"}})), "/d/fenwhit/scores");
  EXPECT_EQ(SettingsPath(From({{"HOME", "/"}})), "/.config/fenwhit/settings");
}

}  // namespace
}  // namespace fenwhit
