#include "support/x_desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace fenwhit::testing {

namespace {

std::vector<uint8_t> Text(const std::string& text) {
  return {text.begin(), text.end()};
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

}  // namespace

Background::Background(std::vector<std::string> command,
                       const std::vector<std::string>& environment, int keepFd) {
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

Background::~Background() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

bool Installed(const char* program) {
  const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

void XDesktopTest::SetUp() {
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

bool XDesktopTest::SetKeyboardLayout(const std::string& layout) {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  videoStarted_ = false;
  if (std::system(("setxkbmap -display " + display_ + " " + layout).c_str()) != 0) return false;
  videoStarted_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  return videoStarted_;
}

void XDesktopTest::TearDown() {
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

SDL_Rect XDesktopTest::Usable() {
  SDL_Rect usable{};
  SDL_GetDisplayUsableBounds(0, &usable);
  return usable;
}

}  // namespace fenwhit::testing
