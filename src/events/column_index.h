#pragma once
// Points sorted into columns 32 units wide, so a test against a narrow box looks only
// at the points of the one or two columns the box spans instead of at every point.
// Columns wrap round every kColumns, so any x is accepted: far-apart points that share
// a column only cost a few extra exact tests.
#include <cstdint>

#include "game/balls.h"

namespace fenwhit {

class ColumnIndex {
 public:
  static constexpr int32_t kCapacity = kBallPoolSize;

  // Indexes points 0..count-1 (count at most kCapacity); points whose x is kNowhere
  // are left out.
  void build(const int32_t* xs, int32_t count);

  // Calls visit(i) for every indexed point i whose column could hold an x with
  // left < x < right; the caller still tests the point exactly.
  template <typename Visit>
  void forEachNear(int32_t left, int32_t right, Visit visit) const {
    if (right - left < 2) return;
    const int32_t first = (left + 1) >> kColumnShift;
    const int32_t last = (right - 1) >> kColumnShift;
    const int32_t columns = last - first + 1 < kColumns ? last - first + 1 : kColumns;
    for (int32_t c = 0; c < columns; ++c) {
      const int32_t column = (first + c) & (kColumns - 1);
      for (int32_t k = start_[column]; k < start_[column + 1]; ++k) visit(order_[k]);
    }
  }

 private:
  static constexpr int32_t kColumnShift = 5;
  static constexpr int32_t kColumns = 64;

  static int32_t columnOf(int32_t x) { return (x >> kColumnShift) & (kColumns - 1); }

  int32_t start_[kColumns + 1] = {};
  int32_t order_[kCapacity] = {};
};

}  // namespace fenwhit
