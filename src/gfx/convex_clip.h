#pragma once
// Cuts a convex polygon along a straight line: the fragment tally keeps what lies in the
// picture, a sprite's outline keeps what its picture can show.
#include <vector>

namespace fenwhit {

// The part of the convex polygon `in` where a * x + b * y <= limit, its corners in the
// same order round the edge.
template <typename Point>
std::vector<Point> KeepBelow(const std::vector<Point>& in, decltype(Point::x) a,
                             decltype(Point::x) b, decltype(Point::x) limit) {
  std::vector<Point> out;
  const auto excess = [&](const Point& p) { return a * p.x + b * p.y - limit; };
  for (size_t i = 0; i < in.size(); ++i) {
    const Point& p = in[i];
    const Point& q = in[(i + 1) % in.size()];
    const auto ep = excess(p);
    const auto eq = excess(q);
    if (ep <= 0) out.push_back(p);
    if ((ep < 0 && eq > 0) || (ep > 0 && eq < 0)) {
      const auto t = ep / (ep - eq);
      out.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
    }
  }
  return out;
}

}  // namespace fenwhit
