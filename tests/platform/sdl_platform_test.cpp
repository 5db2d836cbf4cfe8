// The SDL platform's input: the set-1 code of every key the game reads, held keys, taps
// shorter than a frame, close requests, mouse buttons and gamepads beyond the slots.
#include <SDL.h>

#include <memory>
#include <sstream>
#include <vector>

#include "audio/recording_sound_device.h"
#include "keep/background_writer.h"
#include "settings/settings_platform.h"
#include "support/gl_fixture.h"
#include "support/scratch_dir.h"
#include "support/virtual_gamepad.h"

namespace fenwhit {
namespace {

TEST(SdlKeys, EveryKeyTheGameReadsHasItsSetOneCodeAndTheRestNone) {
  const std::pair<SDL_Scancode, int> keys[] = {
      {SDL_SCANCODE_ESCAPE, 1},  {SDL_SCANCODE_W, 17},        {SDL_SCANCODE_A, 30},
      {SDL_SCANCODE_S, 31},      {SDL_SCANCODE_K, 37},        {SDL_SCANCODE_Z, 44},
      {SDL_SCANCODE_M, 50},      {SDL_SCANCODE_SPACE, 57},    {SDL_SCANCODE_UP, 72},
      {SDL_SCANCODE_LEFT, 75},   {SDL_SCANCODE_DOWN, 80},     {SDL_SCANCODE_RIGHT, 77},
      {SDL_SCANCODE_RETURN, 28}, {SDL_SCANCODE_TAB, 15},      {SDL_SCANCODE_KP_ENTER, 28},
      {SDL_SCANCODE_N, 49},      {SDL_SCANCODE_BACKSPACE, 14}};
  for (const auto& [sdl, set1] : keys) EXPECT_EQ(SetOneScanCode(sdl), set1) << sdl;
  for (SDL_Scancode other :
       {SDL_SCANCODE_L, SDL_SCANCODE_Q, SDL_SCANCODE_J, SDL_SCANCODE_UNKNOWN}) {
    EXPECT_EQ(SetOneScanCode(other), 0) << other;
  }
}

class SdlKeyboard : public testing::GlTest {
 protected:
  // symbol: what the layout puts on the key (SDL's keycode), as a keyboard sends it.
  static void Send(Uint32 type, SDL_Scancode code, SDL_Keycode symbol = SDLK_UNKNOWN) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = code;
    event.key.keysym.sym = symbol;
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

TEST_F(SdlKeyboard, NoTextInputAndMouseButtonsFollowTheirEventsAndLetGoWithTheFocus) {
  // Keys alone reach the game: no input method stands between.
  EXPECT_FALSE(SDL_IsTextInputActive());
  const auto button = [](Uint32 type, Uint8 which) {
    SDL_Event event{};
    event.type = type;
    event.button.button = which;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
  };
  const auto window = [](Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    SDL_PushEvent(&event);
  };
  const auto buttons = [this] { return platform_->ReadMouse().buttons; };
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
  platform_->PumpEvents();
  EXPECT_EQ(buttons(), 3);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
  platform_->PumpEvents();
  EXPECT_EQ(buttons(), 1);

  // Let go over another window: no release ever comes, and the button must not stay held.
  window(SDL_WINDOWEVENT_FOCUS_LOST);
  platform_->PumpEvents();
  EXPECT_EQ(buttons(), 0);
  EXPECT_FALSE(platform_->WindowActive());
  window(SDL_WINDOWEVENT_FOCUS_GAINED);
  platform_->PumpEvents();
  EXPECT_EQ(buttons(), 0);

  // A click between two frames counts for the next one only.
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
  platform_->PumpEvents();
  EXPECT_EQ(buttons(), 1);
  platform_->PumpEvents();
  EXPECT_EQ(buttons(), 0);
}

TEST_F(SdlKeyboard, DroppedFilesComeOutInOrderBoundedAndOnlyOnce) {
  const auto drop = [](const std::string& path) {
    SDL_Event event{};
    event.type = SDL_DROPFILE;
    event.drop.file = SDL_strdup(path.c_str());
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  };
  EXPECT_EQ(platform_->TakeDroppedPath(), std::nullopt);
  drop("/music/one song.ogg");
  drop("/music/folder");
  platform_->PumpEvents();
  EXPECT_EQ(platform_->TakeDroppedPath(), "/music/one song.ogg");
  EXPECT_EQ(platform_->TakeDroppedPath(), "/music/folder");
  EXPECT_EQ(platform_->TakeDroppedPath(), std::nullopt);

  // A flood of drops, and a path longer than any a file system takes, wait no further.
  drop(std::string(kMaxDroppedPathBytes + 1, 'x'));
  for (size_t i = 0; i < kMaxQueuedDrops + 10; ++i) drop("/music/" + std::to_string(i));
  platform_->PumpEvents();
  size_t taken = 0;
  while (const auto path = platform_->TakeDroppedPath()) {
    EXPECT_EQ(*path, "/music/" + std::to_string(taken));
    ++taken;
  }
  EXPECT_EQ(taken, kMaxQueuedDrops);
}

// Text typed into a field: only while asked for, as the events bring it, bounded, and none
// left over from one field to the next.
TEST_F(SdlKeyboard, TypedTextComesOnlyWhileAskedForAndIsBounded) {
  const auto type = [](const char* text) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, text, sizeof(event.text.text));
    SDL_PushEvent(&event);
  };
  EXPECT_FALSE(SDL_IsTextInputActive());
  platform_->SetTextInput(true);
  EXPECT_TRUE(SDL_IsTextInputActive());
  type("host");
  type("\xC3\xA9.lan");
  Send(SDL_KEYDOWN, SDL_SCANCODE_N);
  platform_->PumpEvents();
  // Keys still go to the game while text comes.
  EXPECT_TRUE(Held(scan::kN));
  EXPECT_EQ(platform_->TakeTypedText(), "host\xC3\xA9.lan");
  EXPECT_EQ(platform_->TakeTypedText(), "");

  // A flood waits no further than the cap, whole events only.
  for (size_t i = 0; i < kMaxTypedBytes; ++i) type("abc");
  platform_->PumpEvents();
  const std::string flood = platform_->TakeTypedText();
  EXPECT_LE(flood.size(), kMaxTypedBytes);
  EXPECT_GE(flood.size(), kMaxTypedBytes - 2);
  EXPECT_EQ(flood.size() % 3, 0u);

  type("left over");
  platform_->PumpEvents();
  platform_->SetTextInput(false);
  EXPECT_FALSE(SDL_IsTextInputActive());
  platform_->SetTextInput(true);
  EXPECT_EQ(platform_->TakeTypedText(), "");
  platform_->SetTextInput(false);
}

// The volume keys as a player finds them: by the label on the key, on a German layout as on
// a US one, each held for several frames.
TEST_F(SdlKeyboard, VolumeKeysGoByTheSymbolOnThemWhateverTheLayout) {
  testing::ScratchDir home;
  SettingsFile file(home.str() + "/settings");
  Settings remembered;
  remembered.volume = 5;
  RecordingSoundDevice sound;
  std::ostringstream err;
  BackgroundWriter writer;
  SettingsPlatform settings(*platform_, sound, file, writer, remembered,
                            {[] { return 0; }, [] { return false; }}, err);
  const auto press = [&](SDL_Scancode code, SDL_Keycode symbol) {
    Send(SDL_KEYDOWN, code, symbol);
    for (int frame = 0; frame < 4; ++frame) settings.PumpEvents();
    Send(SDL_KEYUP, code, symbol);
    settings.PumpEvents();
    return settings.Volume();
  };
  // German: "-" where a US keyboard has "/", "+" where it has "]".
  EXPECT_EQ(press(SDL_SCANCODE_SLASH, SDLK_MINUS), 4);
  EXPECT_EQ(press(SDL_SCANCODE_RIGHTBRACKET, SDLK_PLUS), 5);
  // The US minus place bears sharp s there, and the US equals place the acute accent.
  EXPECT_EQ(press(SDL_SCANCODE_MINUS, 0xDF), 5);
  EXPECT_EQ(press(SDL_SCANCODE_EQUALS, 0xB4), 5);
  // US: minus, and equals (plus with Shift, the same key).
  EXPECT_EQ(press(SDL_SCANCODE_MINUS, SDLK_MINUS), 4);
  EXPECT_EQ(press(SDL_SCANCODE_EQUALS, SDLK_EQUALS), 5);
  // The keypad's on either.
  EXPECT_EQ(press(SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS), 6);
  EXPECT_EQ(press(SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS), 5);
  EXPECT_FALSE(platform_->KeyHeld(scan::kMinus));
  EXPECT_FALSE(platform_->KeyHeld(scan::kEquals));

  // Released after the layout changed under it: let go as what it was pressed as.
  Send(SDL_KEYDOWN, SDL_SCANCODE_SLASH, SDLK_MINUS);
  settings.PumpEvents();
  Send(SDL_KEYUP, SDL_SCANCODE_SLASH, SDLK_SLASH);
  settings.PumpEvents();
  settings.PumpEvents();
  EXPECT_FALSE(platform_->KeyHeld(scan::kMinus));
  EXPECT_EQ(press(SDL_SCANCODE_SLASH, SDLK_MINUS), 3);
}

// A gamepad plugged in while every slot is taken waits, and takes the first slot that frees.
TEST(SdlGamepadSlots, AGamepadBeyondTheSlotsTakesTheFirstOneThatFrees) {
  SdlPlatform sdl("unused");
  ASSERT_TRUE(sdl.StartGamepads()) << SDL_GetError();
  std::vector<std::unique_ptr<testing::VirtualGamepad>> pads;
  for (int i = 0; i <= pad::kSlots; ++i) {
    pads.push_back(std::make_unique<testing::VirtualGamepad>());
    ASSERT_TRUE(pads.back()->Plugged());
  }
  sdl.PumpEvents();
  for (int slot = 0; slot < pad::kSlots; ++slot) {
    EXPECT_TRUE(sdl.Gamepad(slot).connected) << slot;
    EXPECT_EQ(sdl.Gamepad(slot).held, 0u) << slot;
  }
  pads[pad::kSlots]->Button(SDL_CONTROLLER_BUTTON_A, true);
  sdl.PumpEvents();
  for (int slot = 0; slot < pad::kSlots; ++slot) EXPECT_EQ(sdl.Gamepad(slot).held, 0u) << slot;

  pads[1]->Unplug();
  sdl.PumpEvents();
  sdl.PumpEvents();
  EXPECT_TRUE(sdl.Gamepad(1).connected);
  EXPECT_EQ(sdl.Gamepad(1).held, pad::kA);  // the waiting one, its A still held
}

}  // namespace
}  // namespace fenwhit
