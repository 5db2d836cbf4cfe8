// The name new best scores are entered under.
#include "keep/player_name.h"

#include <gtest/gtest.h>

#include "keep/scores.h"

namespace fenwhit {
namespace {

TEST(PlayerName, FitForTheTable) {
  EXPECT_EQ(CleanPlayerName("ann"), "ANN");
  EXPECT_EQ(CleanPlayerName("jean-luc.o_neill"), "JEAN-LUC.O_N");
  EXPECT_EQ(CleanPlayerName("\xc3\xa9mile+2"), "MILE2");
  EXPECT_EQ(CleanPlayerName("  ann  lee  "), "ANN  LEE");
  EXPECT_EQ(CleanPlayerName("abcdefghijk lmn"), "ABCDEFGHIJK");
  EXPECT_EQ(CleanPlayerName(""), "PLAYER");
  EXPECT_EQ(CleanPlayerName("@@ !"), "PLAYER");
  // Whoever runs the tests gets a name the score file accepts.
  EXPECT_TRUE(IsValidEntry({1, PlayerName(), "2025-01-01", 0, 0})) << PlayerName();
}

}  // namespace
}  // namespace fenwhit
