// The window on a real X desktop: a virtual X server with a window manager that frames
// windows and keeps a bar along the top. Skipped where Xvfb or openbox is not installed.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl_platform.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

constexpr int kBar = 30;

// A program of ours in the background, ended with the test.
class Background {
 public:
  Background(std::vector<std::string> command, const std::vector<std::string>& environment,
             int keepFd = -1) {
    pid_ = fork();
    if (pid_ != 0) return;
    for (const std::string& setting : environment) putenv(const_cast<char*>(setting.c_str()));
    for (int fd = 0; fd < 3; ++fd) {
      if (fd != keepFd) dup2(open("/dev/null", O_RDWR), fd);
    }
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  ~Background() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;

 private:
  pid_t pid_ = -1;
};

bool Installed(const char* program) {
  const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Xvfb picks a free display and writes its number to a pipe once it takes clients.
std::string StartXvfb(std::unique_ptr<Background>& server) {
  int ends[2];
  if (pipe(ends) != 0) return "";
  server = std::make_unique<Background>(
      std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0",
                               "1366x768x24", "-nolisten", "tcp"},
      std::vector<std::string>{});
  close(ends[1]);
  std::string number;
  char c = 0;
  pollfd ready{ends[0], POLLIN, 0};
  while (poll(&ready, 1, 10000) == 1 && read(ends[0], &c, 1) == 1 && c != '\n') number += c;
  close(ends[0]);
  return number.empty() ? "" : ":" + number;
}

class X11Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Installed("Xvfb") || !Installed("openbox")) {
      GTEST_SKIP() << "Xvfb and openbox are needed for a desktop";
    }
    display_ = StartXvfb(server_);
    ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
    home_.WriteFile("rc.xml", Text("<?xml version=\"1.0\"?>"
                                   "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">"
                                   "<margins><top>" +
                                   std::to_string(kBar) + "</top></margins></openbox_config>"));
    windowManager_ = std::make_unique<Background>(
        std::vector<std::string>{"openbox", "--config-file", home_.str() + "/rc.xml"},
        std::vector<std::string>{"DISPLAY=" + display_, "HOME=" + home_.str()});
    for (const char* name : {"DISPLAY", "SDL_VIDEODRIVER"}) {
      const char* value = std::getenv(name);
      saved_.push_back({name, value != nullptr ? value : ""});
    }
    setenv("DISPLAY", display_.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    videoStarted_ = true;
    // The window manager is ready once it keeps the bar free.
    for (int wait = 0; wait < 500 && Usable().y != kBar; ++wait) SDL_Delay(10);
    ASSERT_EQ(Usable().y, kBar) << "the window manager did not start";
  }

  void TearDown() override {
    if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    for (const auto& [name, value] : saved_) {
      if (value.empty()) {
        unsetenv(name.c_str());
      } else {
        setenv(name.c_str(), value.c_str(), 1);
      }
    }
    windowManager_.reset();
    server_.reset();
  }

  static std::vector<uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }
  static SDL_Rect Usable() {
    SDL_Rect usable{};
    SDL_GetDisplayUsableBounds(0, &usable);
    return usable;
  }
  // Pumps until the window has stood still for a while, so the window manager's answers
  // have arrived.
  static void Settle(SdlPlatform& platform) {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    SDL_Rect last{-1, -1, -1, -1};
    for (int i = 0, still = 0; i < 500 && still < 20; ++i) {
      platform.PumpEvents();
      SDL_Delay(10);
      SDL_Rect now{};
      SDL_GetWindowPosition(window, &now.x, &now.y);
      SDL_GetWindowSize(window, &now.w, &now.h);
      still = SDL_RectEquals(&now, &last) ? still + 1 : 0;
      last = now;
    }
  }
  // The window, its frame included, lies within the usable area and fills its height
  // (every mode but the first is too tall for 768 pixels less the bar), keeping the
  // picture's shape.
  static void ExpectFramedWithinUsable(int width, int height) {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    int x = 0, y = 0, w = 0, h = 0, top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    ASSERT_EQ(SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right), 0);
    EXPECT_GT(top, 0) << "no frame";
    const SDL_Rect usable = Usable();
    EXPECT_GE(x - left, usable.x);
    EXPECT_GE(y - top, usable.y);
    EXPECT_LE(x + w + right, usable.x + usable.w);
    EXPECT_LE(y + h + bottom, usable.y + usable.h);
    EXPECT_EQ(top + h + bottom, usable.h);
    EXPECT_NEAR(static_cast<double>(w) / h, static_cast<double>(width) / height, 0.01);
  }

  std::unique_ptr<Background> server_;
  std::unique_ptr<Background> windowManager_;
  std::string display_;
  testing::ScratchDir home_;
  std::vector<std::pair<std::string, std::string>> saved_;
  bool videoStarted_ = false;
};

TEST_F(X11Desktop, TheWindowLeavesRoomForItsFrameAndTheBarAfterFullscreenToo) {
  SdlPlatform platform("Fenwhit desktop test");
  ASSERT_TRUE(platform.OpenWindow(1280, 720)) << platform.LastError();
  // Keys go to the game, not through an input method.
  EXPECT_FALSE(SDL_IsTextInputActive());
  Settle(platform);
  ExpectFramedWithinUsable(1280, 720);

  // A mode chosen in fullscreen, then back to the window.
  platform.SetFullscreen(true);
  Settle(platform);
  ASSERT_TRUE(platform.OpenWindow(1280, 800));
  Settle(platform);
  platform.SetFullscreen(false);
  Settle(platform);
  ExpectFramedWithinUsable(1280, 800);
}

// Keys pressed as a keyboard presses them (by keycode, through XTEST) under a German
// layout: the keys labelled minus and plus are the volume keys, the US minus place (sharp s
// there) is not.
TEST_F(X11Desktop, UnderAGermanLayoutTheKeysLabelledMinusAndPlusAreTheVolumeKeys) {
  if (!Installed("setxkbmap") || !Installed("xdotool")) {
    GTEST_SKIP() << "setxkbmap and xdotool are needed to type";
  }
  // SDL reads the layout as its video starts.
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  videoStarted_ = false;
  ASSERT_EQ(std::system(("setxkbmap -display " + display_ + " de").c_str()), 0);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  videoStarted_ = true;
  SdlPlatform platform("Fenwhit keyboard test");
  ASSERT_TRUE(platform.OpenWindow(640, 360)) << platform.LastError();
  Settle(platform);
  // Each key held a few frames; what the game saw of it.
  const auto type = [&](int keycode) {
    const std::string key = "xdotool keydown " + std::to_string(keycode) + " sleep 0.1 keyup " +
                            std::to_string(keycode);
    EXPECT_EQ(std::system(key.c_str()), 0);
    std::vector<int> seen;
    for (int frame = 0; frame < 30; ++frame) {
      platform.PumpEvents();
      for (int code : {scan::kMinus, scan::kEquals}) {
        if (platform.KeyHeld(code) && std::find(seen.begin(), seen.end(), code) == seen.end()) {
          seen.push_back(code);
        }
      }
      SDL_Delay(10);
    }
    return seen;
  };
  // X keycodes of the places: the US slash, the US right bracket, the US minus.
  EXPECT_EQ(type(61), std::vector<int>{scan::kMinus});
  EXPECT_EQ(type(35), std::vector<int>{scan::kEquals});
  EXPECT_EQ(type(20), std::vector<int>{});
  EXPECT_GE(platform.KeyPresses(), 3u);  // all three arrived
}

}  // namespace
}  // namespace fenwhit
