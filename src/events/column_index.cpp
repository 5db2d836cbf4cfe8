#include "events/column_index.h"

#include "events/snapped_points.h"

namespace fenwhit {

// A counting sort: stable, so each column lists its points in index order.
void ColumnIndex::build(const int32_t* xs, int32_t count) {
  if (count > kCapacity) count = kCapacity;
  int32_t sizes[kColumns] = {};
  for (int32_t i = 0; i < count; ++i) {
    if (xs[i] != kNowhere) ++sizes[columnOf(xs[i])];
  }
  start_[0] = 0;
  for (int32_t c = 0; c < kColumns; ++c) start_[c + 1] = start_[c] + sizes[c];
  int32_t next[kColumns];
  for (int32_t c = 0; c < kColumns; ++c) next[c] = start_[c];
  for (int32_t i = 0; i < count; ++i) {
    if (xs[i] != kNowhere) order_[next[columnOf(xs[i])]++] = i;
  }
}

}  // namespace fenwhit
