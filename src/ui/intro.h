#pragma once

namespace fenwhit {

// The studio logo fades in and out over 202 frames of at least 20 ms; it cannot be
// skipped and reads no input.
void RunIntro();

}  // namespace fenwhit
