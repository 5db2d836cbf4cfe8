#include "replay/shown_frame.h"

#include "events/pool_records.h"
#include "game/balls.h"
#include "game/game_state.h"

namespace fenwhit {

namespace {

template <typename Pool>
int Alive(const Pool& pool) {
  int count = 0;
  for (int32_t i = 0; i <= Pool::kLast; ++i) count += pool[i].alive != 0 ? 1 : 0;
  return count;
}

int BallsInPlay() {
  int count = 0;
  for (int32_t i = 0; i <= game.ballLast && i < kBallPoolSize; ++i) {
    count += balls[i].kind != BallKind::Free ? 1 : 0;
  }
  return count;
}

// Titles are padded with spaces to centre them; the file wants one word-like field.
std::string TitleField() {
  std::string title;
  for (const char c : game.eventTitle) {
    if (c == ' ' && (title.empty() || title.back() == '_')) continue;
    title += c == ' ' ? '_' : c;
  }
  while (!title.empty() && title.back() == '_') title.pop_back();
  return title.empty() ? "-" : title;
}

}  // namespace

std::string DescribeShownFrame() {
  return "title=" + TitleField() + " balls=" + std::to_string(BallsInPlay()) +
         " obstacles=" + std::to_string(Alive(obstacles)) +
         " bricks=" + std::to_string(Alive(bricks)) +
         " invaders=" + std::to_string(Alive(invaders)) + " shots=" + std::to_string(Alive(shots)) +
         " particles=" + std::to_string(Alive(particles));
}

}  // namespace fenwhit
