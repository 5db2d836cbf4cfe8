#pragma once
// The game's main loop: one fixed update, drawing and input step per frame.

namespace fenwhit {

// Runs frames until the game has been left; a window close exits the program.
void runFrameLoop();
// One frame. Returns false once the ending is over and the game has been left.
bool runFrame();

}  // namespace fenwhit
