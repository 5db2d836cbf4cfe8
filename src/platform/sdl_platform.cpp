#include "platform/sdl_platform.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <utility>

#include "image/png.h"
#include "platform/window_icon.h"

namespace fenwhit {

int SetOneScanCode(int sdlScancode) {
  switch (sdlScancode) {
    case SDL_SCANCODE_ESCAPE:
      return scan::kEsc;
    case SDL_SCANCODE_W:
      return scan::kW;
    case SDL_SCANCODE_O:
      return scan::kO;
    case SDL_SCANCODE_P:
      return scan::kP;
    case SDL_SCANCODE_TAB:
      return scan::kTab;
    case SDL_SCANCODE_A:
      return scan::kA;
    case SDL_SCANCODE_S:
      return scan::kS;
    case SDL_SCANCODE_K:
      return scan::kK;
    case SDL_SCANCODE_Z:
      return scan::kZ;
    case SDL_SCANCODE_M:
      return scan::kM;
    case SDL_SCANCODE_SPACE:
      return scan::kSpace;
    case SDL_SCANCODE_PAUSE:
      return scan::kPause;
    case SDL_SCANCODE_UP:
      return scan::kUp;
    case SDL_SCANCODE_KP_MINUS:
      return scan::kKeypadMinus;
    case SDL_SCANCODE_KP_PLUS:
      return scan::kKeypadPlus;
    case SDL_SCANCODE_LEFT:
      return scan::kLeft;
    case SDL_SCANCODE_DOWN:
      return scan::kDown;
    case SDL_SCANCODE_RIGHT:
      return scan::kRight;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return scan::kEnter;
    case SDL_SCANCODE_BACKSPACE:
      return scan::kBackspace;
    case SDL_SCANCODE_N:
      return scan::kN;
    case SDL_SCANCODE_C:
      return scan::kC;
    default:
      return 0;
  }
}

int GameKeyCode(int sdlScancode, int32_t sdlKeycode) {
  switch (sdlKeycode) {
    case SDLK_MINUS:
      return scan::kMinus;
    case SDLK_EQUALS:
    case SDLK_PLUS:
      return scan::kEquals;
    case SDLK_KP_MINUS:
      return scan::kKeypadMinus;
    case SDLK_KP_PLUS:
      return scan::kKeypadPlus;
    default:
      return SetOneScanCode(sdlScancode);
  }
}

SdlPlatform::SdlPlatform(std::string title, std::string appId)
    : title_(std::move(title)), appId_(std::move(appId)) {}

SdlPlatform::~SdlPlatform() {
  framesInFlight_.Stop();
  if (context_ != nullptr) SDL_GL_DeleteContext(context_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

namespace {

bool Defined(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

// Where nothing names a display, SDL's Wayland driver still looks for a default one (and
// its library complains on stderr), then SDL draws offscreen. A display on the console
// is had by naming its driver.
bool DisplayNamed() {
  const char* driver = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return (driver != nullptr && driver[0] != '\0') || Defined("DISPLAY") ||
         Defined("WAYLAND_DISPLAY");
}

// SDL falls back to drawing offscreen when it finds no display: the game would run unseen.
bool DrawsUnseen() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  const std::string_view name = driver;
  if (name != "offscreen" && name != "dummy") return false;
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return asked == nullptr || std::string_view(asked).find(name) == std::string_view::npos;
}

std::string NoDisplayMessage() {
  std::string text = "no display was found (";
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    if (text.back() != '(') text += ", ";
    text += name;
    text += Defined(name) ? std::string("=") + std::getenv(name) : " unset";
  }
  return text + ")";
}

}  // namespace

bool SdlPlatform::StartVideo() {
  if (videoStarted_) return true;
  // SDL reads the window's class (X11) and app id (Wayland) from these; a user's own
  // setting wins.
  if (!appId_.empty()) {
    setenv("SDL_VIDEO_X11_WMCLASS", appId_.c_str(), 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", appId_.c_str(), 0);
  }
  if (!DisplayNamed()) {
    lastError_ = NoDisplayMessage();
    return false;
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    lastError_ = std::string("no video: ") + SDL_GetError();
    return false;
  }
  if (DrawsUnseen()) {
    lastError_ = NoDisplayMessage();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  videoStarted_ = true;
  gamepads_.Start();  // without gamepads the keyboard still plays
  return true;
}

bool SdlPlatform::OpenWindow(int width, int height) {
  if (!StartVideo()) return false;
  picture_ = {width, height};
  if (window_ != nullptr) {
    // A screen-mode switch keeps the window and its context, so every texture stays valid.
    FitWindow();
    return true;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // The frame is not known yet: the window opens as if it had none, and is fitted again
  // once the window manager has framed it.
  PixelSize size = picture_;
  SDL_Rect usable{};
  if (fitToDesktop_ && SDL_GetDisplayUsableBounds(0, &usable) == 0) {
    size = FitWithin(width, height, usable.w, usable.h);
  }
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
  if (fullscreen_) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             size.width, size.height, flags);
  if (window_ == nullptr) {
    lastError_ = std::string("no window: ") + SDL_GetError();
    return false;
  }
  context_ = SDL_GL_CreateContext(window_);
  if (context_ == nullptr) {
    lastError_ = std::string("no OpenGL context: ") + SDL_GetError();
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    return false;
  }
  fittedFrame_ = Borders{};  // what the size above allowed for
  SetIcon();
  SDL_GL_MakeCurrent(window_, context_);
  SDL_GL_SetSwapInterval(0);  // the game paces its own frames
  framesInFlight_.Start();
  // Text input sends every key through the input method, where one runs; the game reads
  // keys only, but for a field the player types into. Some video drivers start with it on.
  SDL_StopTextInput();
  typed_.clear();
  // Songs are chosen by dropping them on the window.
  SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
  // Window managers frame a window as it is shown: the frame is often known at once.
  // Events taken here stay queued for the game.
  SDL_PumpEvents();
  FollowFrame();
  return true;
}

std::optional<SdlPlatform::Borders> SdlPlatform::FrameBorders() const {
  Borders frame;
  if (SDL_GetWindowBordersSize(window_, &frame.top, &frame.left, &frame.bottom, &frame.right) !=
      0) {
    return std::nullopt;
  }
  return frame;
}

void SdlPlatform::FitWindow() {
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  const std::optional<Borders> frame = FrameBorders();
  fittedFrame_ = frame;
  SDL_Rect area{};
  const bool fitted = fitToDesktop_ && SDL_GetDisplayUsableBounds(display, &area) == 0;
  PixelSize size = picture_;
  if (fitted) {
    if (frame) {
      area.x += frame->left;
      area.y += frame->top;
      area.w -= frame->left + frame->right;
      area.h -= frame->top + frame->bottom;
    }
    size = FitWithin(picture_.width, picture_.height, area.w, area.h);
  }
  // In fullscreen this sets the size the window gets back when it leaves fullscreen.
  SDL_SetWindowSize(window_, size.width, size.height);
  if (fullscreen_) return;
  // Centred on the display it is on, with its frame inside the usable area.
  if (fitted && size.width <= area.w && size.height <= area.h) {
    SDL_SetWindowPosition(window_, area.x + (area.w - size.width) / 2,
                          area.y + (area.h - size.height) / 2);
  } else {
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
  }
}

void SdlPlatform::FollowFrame() {
  if (window_ == nullptr || fullscreen_ || !fitToDesktop_) return;
  const std::optional<Borders> frame = FrameBorders();
  if (frame && frame != fittedFrame_) FitWindow();
}

void SdlPlatform::SetFullscreen(bool on) {
  fullscreen_ = on;
  if (window_ == nullptr) return;
  if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    fullscreen_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
  }
}

PixelSize SdlPlatform::DrawableSize() const {
  if (window_ == nullptr) return {};
  PixelSize size;
  SDL_GL_GetDrawableSize(window_, &size.width, &size.height);
  return size;
}

bool SdlPlatform::TakeFullscreenKey(const SDL_KeyboardEvent& key) {
  const bool down = key.type == SDL_KEYDOWN;
  const SDL_Scancode code = key.keysym.scancode;
  bool* latch = nullptr;
  if (code == SDL_SCANCODE_F11) {
    latch = &f11Latched_;
  } else if (code == SDL_SCANCODE_RETURN || code == SDL_SCANCODE_KP_ENTER) {
    // Only a fresh press with Alt down toggles: Enter held before Alt stays the menu's key.
    const bool fresh = down && key.repeat == 0 && (key.keysym.mod & KMOD_ALT) != 0;
    if (enterLatched_ || fresh) latch = &enterLatched_;
  }
  if (latch == nullptr) return false;
  if (down && !*latch) SetFullscreen(!fullscreen_);
  *latch = down;
  return true;
}

void SdlPlatform::SetIcon() {
  const std::span<const uint8_t> png = WindowIconPng();
  std::optional<Image> icon = DecodePngBuffer(png.data(), png.size());
  if (!icon) return;
  // Our pixels are 0xAARRGGBB words, SDL's ARGB8888.
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormatFrom(icon->pixels.data(), icon->width, icon->height, 32,
                                         icon->width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) return;
  SDL_SetWindowIcon(window_, surface);
  SDL_FreeSurface(surface);
}

void SdlPlatform::SwapBuffers() {
  if (window_ == nullptr) return;
  SDL_GL_SwapWindow(window_);
  framesInFlight_.AfterSwap();
}

void SdlPlatform::FinishDrawing() {
  if (window_ != nullptr) glFinish();
}

void SdlPlatform::PumpEvents() {
  if (!videoStarted_ && !gamepads_.Started()) return;
  for (bool& tapped : tapped_) tapped = false;
  mouseTapped_ = 0;
  gamepads_.BeginPump();
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_QUIT:
        ++closeRequests_;
        break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
          ++closeRequests_;
          break;
        }
        TrackWindowState(event.window.event);
        ++otherEvents_;
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        if (TakeFullscreenKey(event.key)) break;
        TrackKey(event.key.keysym, event.type == SDL_KEYDOWN);
        if (event.type == SDL_KEYDOWN && event.key.repeat == 0) ++keyPresses_;
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        TrackMouseButton(event.button.button, event.type == SDL_MOUSEBUTTONDOWN);
        break;
      case SDL_MOUSEWHEEL:
        wheel_ += event.wheel.y;
        break;
      case SDL_DROPFILE:
        QueueDrop(event.drop.file);
        break;
      case SDL_TEXTINPUT: {
        const std::string_view text = event.text.text;
        if (typed_.size() + text.size() <= kMaxTypedBytes) typed_ += text;
        break;
      }
      default:
        // Mouse motion and the rest only refresh SDL's own state.
        gamepads_.HandleEvent(event);
        break;
    }
  }
  gamepads_.EndPump();
  FollowFrame();
}

void SdlPlatform::TrackWindowState(uint8_t windowEvent) {
  switch (windowEvent) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      focused_ = true;
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      focused_ = false;
      // A button let go over another window sends no release here.
      mouseButtons_ = 0;
      mouseTapped_ = 0;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      minimised_ = true;
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      minimised_ = false;
      break;
    default:
      break;
  }
}

void SdlPlatform::TrackKey(const SDL_Keysym& key, bool down) {
  static_assert(std::tuple_size_v<decltype(pressedAs_)> == SDL_NUM_SCANCODES);
  const size_t place = static_cast<size_t>(key.scancode);
  if (place >= pressedAs_.size()) return;
  // A key is let go as what it was pressed as, should the layout change in between.
  int code = GameKeyCode(key.scancode, key.sym);
  if (down) {
    pressedAs_[place] = static_cast<uint8_t>(code);
  } else {
    if (pressedAs_[place] != 0) code = pressedAs_[place];
    pressedAs_[place] = 0;
  }
  if (code <= 0) return;
  keys_[code] = down;
  if (down) tapped_[code] = true;
}

void SdlPlatform::QueueDrop(char* path) {
  if (path == nullptr) return;
  const std::string_view dropped = path;
  if (!dropped.empty() && dropped.size() <= kMaxDroppedPathBytes &&
      drops_.size() < kMaxQueuedDrops) {
    drops_.emplace_back(dropped);
  }
  SDL_free(path);
}

std::optional<std::string> SdlPlatform::TakeDroppedPath() {
  if (drops_.empty()) return std::nullopt;
  std::string path = std::move(drops_.front());
  drops_.pop_front();
  return path;
}

void SdlPlatform::SetTextInput(bool on) {
  typed_.clear();
  if (!videoStarted_) return;
  if (on) {
    SDL_StartTextInput();
  } else {
    SDL_StopTextInput();
  }
}

std::string SdlPlatform::TakeTypedText() {
  return std::exchange(typed_, {});
}

bool SdlPlatform::KeyHeld(int scanCode) const {
  return scanCode > 0 && scanCode < scan::kCount && (keys_[scanCode] || tapped_[scanCode]);
}

void SdlPlatform::TrackMouseButton(uint8_t button, bool down) {
  int32_t bit = 0;
  switch (button) {
    case SDL_BUTTON_LEFT:
      bit = 1;
      break;
    case SDL_BUTTON_RIGHT:
      bit = 2;
      break;
    case SDL_BUTTON_MIDDLE:
      bit = 4;
      break;
    default:
      return;
  }
  if (down) {
    mouseButtons_ |= bit;
    mouseTapped_ |= bit;  // a click shorter than a frame still counts for one
  } else {
    mouseButtons_ &= ~bit;
  }
}

MouseState SdlPlatform::ReadMouse() {
  MouseState mouse;
  if (videoStarted_) SDL_GetMouseState(&mouse.x, &mouse.y);
  mouse.buttons = mouseButtons_ | mouseTapped_;
  mouse.wheel = wheel_;
  return mouse;
}

WindowEvent SdlPlatform::TakeWindowEvent() {
  // Close requests are counted apart, so no amount of other traffic can delay them.
  if (closeRequests_ > 0) {
    --closeRequests_;
    return WindowEvent::kClose;
  }
  if (otherEvents_ > 0) {
    --otherEvents_;
    return WindowEvent::kOther;
  }
  return WindowEvent::kNone;
}

double SdlPlatform::Clock() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SdlPlatform::SleepMs(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SdlPlatform::SleepUntil(double deadline) {
  using namespace std::chrono;
  std::this_thread::sleep_until(
      steady_clock::time_point(duration_cast<steady_clock::duration>(duration<double>(deadline))));
}

}  // namespace fenwhit
