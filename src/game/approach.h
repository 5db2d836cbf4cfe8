#pragma once
// Every animated quantity moves towards its target by a fixed step per frame: first a
// step up if below, then a step down if above. When the distance is not a whole number
// of steps it comes to rest up to one step below the target and never oscillates.

namespace fenwhit {

template <typename Value, typename Step>
void approach(Value& value, Value target, Step step) {
  if (value < target) value += step;
  if (value > target) value -= step;
}

}  // namespace fenwhit
