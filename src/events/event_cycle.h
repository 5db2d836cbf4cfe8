#pragma once
// The beat-driven cycle of events and what it shows on screen.

namespace fenwhit {

// Announces, chooses and applies events as the beat count reaches its marks.
void updateEventCycle();
// Steps the colour of the title text (also during the ending).
void cycleTitleColour();
// The black-hole picture, while one has been placed.
void drawBlackHole();
// The pending event's title and the "AND" caption, ducking the music while shown.
void drawEventTitles();

}  // namespace fenwhit
