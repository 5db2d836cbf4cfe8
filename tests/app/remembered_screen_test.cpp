// The screen the player left, through the real program on a real X desktop: the window
// opens as it was left, --window and --fullscreen choose for one run only, and F11 held
// as a player holds it switches once and is remembered. Skipped without xdotool.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "app/archive_writer.h"
#include "keep/settings.h"
#include "support/child_process.h"
#include "support/x_desktop.h"

namespace fenwhit {
namespace {

using testing::ScratchDir;

constexpr int kScreenWidth = 1366;
constexpr int kScreenHeight = 768;

struct Geometry {
  int width = 0;
  int height = 0;
  bool operator==(const Geometry&) const = default;
  bool FillsTheScreen() const { return width == kScreenWidth && height == kScreenHeight; }
  double Shape() const { return height > 0 ? static_cast<double>(width) / height : 0.0; }
};

std::string Xdotool(const std::vector<std::string>& words) {
  std::vector<std::string> command = {"xdotool"};
  command.insert(command.end(), words.begin(), words.end());
  std::string output;
  return testing::RunCommand(command, output) == 0 ? output : "";
}

// A run of the program with its own folders, the player's settings in them.
struct Started {
  ScratchDir work;
  ScratchDir temp;
  testing::Child child;
  std::string window;

  std::string SettingsPath() const { return temp.str() + "/config-home/fenwhit/settings"; }
  Settings Kept() const {
    std::ostringstream err;
    return SettingsFile(SettingsPath()).Load(err);
  }
  std::string KeptText() const { return testing::ReadText(SettingsPath()); }
  // Waits up to 20 seconds for the window to fill the screen.
  bool FillsTheScreenSoon() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
      if (Window().FillsTheScreen()) return true;
    }
    return false;
  }
  // The program's window, once it has stood still for half a second; {} if none came.
  Geometry Window() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    Geometry last;
    int still = 0;
    while (still < 5 && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (window.empty()) {
        std::istringstream found(
            Xdotool({"search", "--onlyvisible", "--pid", std::to_string(child.pid)}));
        found >> window;
        continue;
      }
      Geometry now;
      std::istringstream shell(Xdotool({"getwindowgeometry", "--shell", window}));
      for (std::string line; std::getline(shell, line);) {
        if (line.rfind("WIDTH=", 0) == 0) now.width = std::stoi(line.substr(6));
        if (line.rfind("HEIGHT=", 0) == 0) now.height = std::stoi(line.substr(7));
      }
      still = now == last ? still + 1 : 0;
      last = now;
    }
    return still >= 5 ? last : Geometry{};
  }
};

class RememberedScreen : public testing::XDesktopTest {
 protected:
  void SetUp() override {
    XDesktopTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    if (!testing::Installed("xdotool")) GTEST_SKIP() << "xdotool is needed to press keys";
    archive_ = BuildArchive(CollectAssetFolder(std::string(FENWHIT_SOURCE_DIR) + "/assets"));
  }

  // Starts the program with these settings remembered (none when empty).
  void Start(Started& run, const std::string& remembered, std::vector<const char*> arguments) {
    run.work.WriteFile("quellard.data", archive_);
    if (!remembered.empty()) {
      run.temp.WriteFile("config-home/fenwhit/settings", {remembered.begin(), remembered.end()});
    }
    run.child = testing::StartProgram(FENWHIT_EXECUTABLE, run.work, run.temp, std::move(arguments),
                                      {"SDL_VIDEODRIVER=x11", "DISPLAY=" + Display()});
  }

  std::vector<uint8_t> archive_;
};

std::string Remembered(bool fullscreen) {
  Settings settings;
  settings.screenMode = 1;  // 1280 x 800
  settings.fullscreen = fullscreen;
  return FormatSettings(settings, kWindowSizes);
}

TEST_F(RememberedScreen, OpensAsLeftOptionsHoldForOneRunAndF11IsKept) {
  // A remembered window of 1280 x 800 opens so, fitted to the desktop; F11, held for a
  // tenth of a second as soon as the window shows (in the intro, which reads no keys),
  // fills the screen once the menu comes, and that is kept.
  Started left;
  Start(left, Remembered(false), {});
  const Geometry window = left.Window();
  EXPECT_FALSE(window.FillsTheScreen());
  EXPECT_NEAR(window.Shape(), 1.6, 0.02) << window.width << "x" << window.height;
  Xdotool(
      {"windowactivate", "--sync", left.window, "keydown", "F11", "sleep", "0.1", "keyup", "F11"});
  EXPECT_TRUE(left.FillsTheScreenSoon());
  EXPECT_EQ(testing::CloseFromTheMenu(left.child), 0);
  EXPECT_TRUE(left.Kept().fullscreen);
  EXPECT_EQ(left.Kept().screenMode, 1);

  // Then, at once: the fullscreen kept; --window over it for one run; --fullscreen over a
  // remembered window for one run. Neither choice is written.
  Started kept, windowed, filled;
  Start(kept, left.KeptText(), {});
  Start(windowed, left.KeptText(), {"--window"});
  Start(filled, Remembered(false), {"--fullscreen"});
  EXPECT_TRUE(kept.Window().FillsTheScreen());
  const Geometry once = windowed.Window();
  EXPECT_FALSE(once.FillsTheScreen());
  EXPECT_NEAR(once.Shape(), 1.6, 0.02) << once.width << "x" << once.height;
  EXPECT_TRUE(filled.Window().FillsTheScreen());
  for (Started* run : {&kept, &windowed, &filled}) {
    EXPECT_EQ(testing::CloseFromTheMenu(run->child), 0);
  }
  EXPECT_EQ(windowed.KeptText(), left.KeptText());
  EXPECT_EQ(filled.KeptText(), Remembered(false));
}

}  // namespace
}  // namespace fenwhit
