#pragma once
// The game world of GameTest with every effect pool empty before and after each test.
#include "events/effect_pools.h"
#include "events/pool_records.h"
#include "game/game_fixture.h"

namespace fenwhit {

class PoolTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    clearPools();
  }
  void TearDown() override {
    clearPools();
    GameTest::TearDown();
  }

  template <typename Pool>
  static int LiveIn(const Pool& pool) {
    int count = 0;
    for (int32_t i = 0; i <= Pool::kLast; ++i) count += pool[i].alive != 0;
    return count;
  }
};

}  // namespace fenwhit
