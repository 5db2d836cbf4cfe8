// The SDL platform's keyboard: the set-1 code of every key the game reads, held keys,
// taps shorter than a frame, and close requests.
#include <SDL.h>

#include "support/gl_fixture.h"

namespace fenwhit {
namespace {

TEST(SdlKeys, EveryKeyTheGameReadsHasItsSetOneCodeAndTheRestNone) {
  const std::pair<SDL_Scancode, int> keys[] = {
      {SDL_SCANCODE_ESCAPE, 1}, {SDL_SCANCODE_W, 17},     {SDL_SCANCODE_A, 30},
      {SDL_SCANCODE_S, 31},     {SDL_SCANCODE_K, 37},     {SDL_SCANCODE_Z, 44},
      {SDL_SCANCODE_M, 50},     {SDL_SCANCODE_SPACE, 57}, {SDL_SCANCODE_UP, 72},
      {SDL_SCANCODE_LEFT, 75},  {SDL_SCANCODE_DOWN, 80},  {SDL_SCANCODE_RIGHT, 77},
      {SDL_SCANCODE_RETURN, 28}};
  for (const auto& [sdl, set1] : keys) EXPECT_EQ(SetOneScanCode(sdl), set1) << sdl;
  for (SDL_Scancode other :
       {SDL_SCANCODE_L, SDL_SCANCODE_Q, SDL_SCANCODE_J, SDL_SCANCODE_UNKNOWN}) {
    EXPECT_EQ(SetOneScanCode(other), 0) << other;
  }
}

class SdlKeyboard : public testing::GlTest {
 protected:
  static void Send(Uint32 type, SDL_Scancode code) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = code;
    SDL_PushEvent(&event);
  }
  bool Held(int code) const { return platform_->KeyHeld(code); }
};

TEST_F(SdlKeyboard, KeysHeldUntilReleasedAndATapCountsForOneFrame) {
  Send(SDL_KEYDOWN, SDL_SCANCODE_Z);
  platform_->PumpEvents();
  EXPECT_TRUE(Held(scan::kZ));
  platform_->PumpEvents();
  EXPECT_TRUE(Held(scan::kZ));
  Send(SDL_KEYUP, SDL_SCANCODE_Z);
  platform_->PumpEvents();
  EXPECT_FALSE(Held(scan::kZ));

  // Down and up between two frames: held for the next one only.
  Send(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
  Send(SDL_KEYUP, SDL_SCANCODE_SPACE);
  platform_->PumpEvents();
  EXPECT_TRUE(Held(scan::kSpace));
  EXPECT_FALSE(Held(scan::kZ));
  platform_->PumpEvents();
  EXPECT_FALSE(Held(scan::kSpace));

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  platform_->PumpEvents();
  EXPECT_EQ(platform_->TakeWindowEvent(), WindowEvent::kClose);
  WindowEvent rest = WindowEvent::kOther;
  while (rest == WindowEvent::kOther) rest = platform_->TakeWindowEvent();
  EXPECT_EQ(rest, WindowEvent::kNone);
}

}  // namespace
}  // namespace fenwhit
