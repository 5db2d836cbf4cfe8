#pragma once
// Where a primitive lies against the picture, from its corners in clip space (the picture
// spans -1 to 1 on both axes): wholly beside it, or over all of it.
#include "gfx/fixed_matrix.h"

namespace fenwhit {

// True when every position lies more than `margin` beyond the same edge of the picture:
// the primitive then covers no pixel of it.
bool BesidePicture(const ClipPosition* positions, int count, float margin);
// The part of the segment from a to b within the margins of the picture, as fractions of
// the way from a to b; empty when the segment passes beside it.
struct SegmentSpan {
  double enter, leave;
  bool Empty() const { return enter > leave; }
};
SegmentSpan SpanInPicture(const ClipPosition& a, const ClipPosition& b, double marginX,
                          double marginY);
// True when the convex quad covers the whole picture, its edges wholly outside it.
bool CoversPicture(const ClipPosition* corners);

}  // namespace fenwhit
