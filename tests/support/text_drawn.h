#pragma once
// What the recording renderer saw drawn in the game's font.
#include <string>

#include "gfx/recording_renderer.h"

namespace fenwhit::testing {

// The glyphs drawn since the calls were last cleared, one after another.
inline std::string TextDrawn(const RecordingRenderer& renderer) {
  std::string text;
  for (const DrawCall& call : renderer.CallsOf("region")) {
    if (call.ints[4] == 32 && call.ints[5] == 64) {
      text += static_cast<char>(call.ints[3] / 64 * 16 + call.ints[2] / 32);
    }
  }
  return text;
}

}  // namespace fenwhit::testing
