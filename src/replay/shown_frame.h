#pragma once
// What a frame showed, in one line for the timedemo's per-frame file: the event's title
// and how full each pool is, so a slow frame can be told apart from its neighbours.
#include <string>

namespace fenwhit {

// "title=NAME balls=B obstacles=O bricks=K invaders=I shots=S particles=P", read from
// the running game; the title is "-" between events.
std::string DescribeShownFrame();

}  // namespace fenwhit
