#pragma once
// A real X desktop for tests of the window: a virtual X server with a window manager that
// frames windows and keeps a bar along the top. Skipped where Xvfb or openbox is not
// installed. While it runs, DISPLAY names it and SDL draws there.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/types.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/scratch_dir.h"

namespace fenwhit::testing {

// A program of ours in the background, ended with the test.
class Background {
 public:
  Background(std::vector<std::string> command, const std::vector<std::string>& environment,
             int keepFd = -1);
  ~Background();
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;

 private:
  pid_t pid_ = -1;
};

bool Installed(const char* program);

class XDesktopTest : public ::testing::Test {
 protected:
  static constexpr int kBar = 30;

  void SetUp() override;
  void TearDown() override;

  static SDL_Rect Usable();
  const std::string& Display() const { return display_; }
  // Sets the keyboard layout (setxkbmap's name, "de") and starts SDL's video again, which
  // reads the layout only as it starts. False when setxkbmap fails.
  bool SetKeyboardLayout(const std::string& layout);

 private:
  std::unique_ptr<Background> server_;
  std::unique_ptr<Background> windowManager_;
  std::string display_;
  ScratchDir home_;
  std::vector<std::pair<std::string, std::string>> saved_;
  bool videoStarted_ = false;
};

}  // namespace fenwhit::testing
