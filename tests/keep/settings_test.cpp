// The remembered settings: their file format, bad values and the file on disk.
#include "keep/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/display.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using namespace std::string_literals;
using testing::ScratchDir;

Settings Parse(std::string_view text, std::vector<std::string>& warnings) {
  warnings.clear();
  return ParseSettings(text, kWindowSizes, warnings);
}

std::string Read(const std::string& path) {
  const std::vector<uint8_t> bytes = testing::ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

TEST(Settings, WrittenAndReadBack) {
  const Settings settings{3, true, 4, {"colour = blue", "  later.key=1 # kept as it was"}};
  const std::string text = FormatSettings(settings, kWindowSizes);
  EXPECT_EQ(text,
            "# Fenwhit settings\n"
            "screen_mode = 1920x1080\n"
            "fullscreen = yes\n"
            "volume = 4\n"
            "colour = blue\n"
            "  later.key=1 # kept as it was\n");
  std::vector<std::string> warnings;
  EXPECT_EQ(Parse(text, warnings), settings);
  EXPECT_TRUE(warnings.empty());

  // The beat offset appears once set, whichever way, and reads back the same.
  for (const int offset : {-300, -45, 0, 300}) {
    Settings withOffset = settings;
    withOffset.avOffsetMs = offset;
    const std::string written = FormatSettings(withOffset, kWindowSizes);
    EXPECT_NE(written.find("\nav_offset_ms = " + std::to_string(offset) + "\n"), std::string::npos);
    EXPECT_EQ(Parse(written, warnings), withOffset);
    EXPECT_TRUE(warnings.empty());
  }

  // The sizes by index are the game's screen modes.
  ASSERT_EQ(kWindowSizes.size(), size_t{kScreenModeCount});
  for (int i = 0; i < kScreenModeCount; ++i) {
    EXPECT_EQ(kWindowSizes[i].width, kScreenModes[i].width);
    EXPECT_EQ(kWindowSizes[i].height, kScreenModes[i].height);
  }
}

TEST(Settings, HowLinesAreRead) {
  std::vector<std::string> warnings;
  // Spaces trimmed, comments and blank lines skipped, the last of a repeated key wins,
  // line ends of either kind.
  Settings settings = Parse(
      "# mine\r\n\n  screen_mode\t=\t2560X1440  \r\nvolume=3\nvolume = 7\n"
      "fullscreen = TRUE\nSCREEN_MODE = 1280x720\nfullscreen = 0",
      warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(settings.screenMode, 5);
  EXPECT_EQ(settings.volume, 7);
  EXPECT_FALSE(settings.fullscreen);
  EXPECT_EQ(settings.otherLines, std::vector<std::string>{"SCREEN_MODE = 1280x720"});
  for (const char* yes : {"yes", "true", "1", "Yes"}) {
    EXPECT_TRUE(Parse("fullscreen = "s + yes, warnings).fullscreen) << yes;
  }
  for (const char* no : {"no", "false", "0"}) {
    EXPECT_FALSE(Parse("fullscreen=yes\nfullscreen = "s + no, warnings).fullscreen) << no;
  }
  EXPECT_TRUE(warnings.empty());

  // Unknown lines lose the CRs at their ends, so that once written they read back the same.
  settings = Parse("theme = dark\r\r\nlast = 1\r", warnings);
  EXPECT_EQ(settings.otherLines, (std::vector<std::string>{"theme = dark", "last = 1"}));

  // Lines that cannot be read: one warning each, and not kept.
  settings = Parse(
      "volume = 2\njust words\n= 4\nkey = " + std::string(1020, 'v') + "\nnul = a\0b\nok = 1"s,
      warnings);
  EXPECT_EQ(settings.volume, 2);
  EXPECT_EQ(settings.otherLines, std::vector<std::string>{"ok = 1"});
  EXPECT_EQ(warnings,
            (std::vector<std::string>{
                "line 2: \"just words\" is not a \"key = value\" line; ignored",
                "line 3: \"= 4\" is not a \"key = value\" line; ignored",
                "line 4: longer than 1024 bytes; ignored", "line 5: holds a NUL byte; ignored"}));

  // A huge file is not looked into.
  settings = Parse("volume = 1\n" + std::string(64 * 1024, '\n'), warnings);
  EXPECT_EQ(settings, Settings{});
  EXPECT_EQ(warnings, std::vector<std::string>{"larger than 64 KiB; using the default settings"});
}

TEST(Settings, EachBadValueWarnsOnceAndTakesItsDefault) {
  const struct {
    const char* line;
    const char* warning;
  } bad[] = {
      {"screen_mode = 800x600",
       "screen_mode = \"800x600\" is not one of the window sizes (1280x720, 1280x800, 1366x768, "
       "1920x1080, 1920x1200, 2560x1440); using 1280x720"},
      {"screen_mode = 1280 x 720", "screen_mode = \"1280 x 720\" is not one of"},
      {"fullscreen = maybe", "fullscreen = \"maybe\" is not yes or no; using no"},
      {"volume = 11", "volume = \"11\" is not a number from 0 to 10; using 10"},
      {"volume = -1", "volume = \"-1\" is not a number from 0 to 10; using 10"},
      {"volume = abc", "volume = \"abc\" is not a number from 0 to 10; using 10"},
      {"volume = 5x", "volume = \"5x\" is not"},
      {"volume =", "volume = \"\" is not"},
      {"av_offset_ms = 301", "av_offset_ms = \"301\" is not a number from -300 to 300; using none"},
      {"av_offset_ms = -301", "av_offset_ms = \"-301\" is not"},
      {"av_offset_ms = 20ms", "av_offset_ms = \"20ms\" is not"},
      {"av_offset_ms = +20", "av_offset_ms = \"+20\" is not"},
  };
  for (const auto& [line, warning] : bad) {
    std::vector<std::string> warnings;
    // A good value before it does not survive: the last line wins, bad or not.
    const Settings settings =
        Parse("screen_mode = 1366x768\nfullscreen = yes\nvolume = 3\n"s + line, warnings);
    ASSERT_EQ(warnings.size(), 1u) << line;
    EXPECT_TRUE(warnings[0].starts_with("line 4: "s + warning)) << warnings[0];
    const Settings defaults;
    const std::string key = std::string(line).substr(0, std::string(line).find(' '));
    EXPECT_EQ(settings.screenMode, key == "screen_mode" ? defaults.screenMode : 2) << line;
    EXPECT_EQ(settings.fullscreen, key == "fullscreen" ? defaults.fullscreen : true) << line;
    EXPECT_EQ(settings.volume, key == "volume" ? defaults.volume : 3) << line;
    EXPECT_EQ(settings.avOffsetMs, std::nullopt) << line;
    // The value is kept as the file has it and written back so.
    const std::string value = std::string(line).substr(std::string(line).find('=') + 1);
    const std::string kept = "\n" + key + " =" + value + (value.empty() ? " \n" : "\n");
    EXPECT_NE(FormatSettings(settings, kWindowSizes).find(kept), std::string::npos) << line;
  }
  // A good value after a bad one wins, and nothing foreign is kept.
  std::vector<std::string> warnings;
  EXPECT_EQ(Parse("screen_mode = 3840x2160\nscreen_mode = 1920x1080\n", warnings),
            (Settings{3, false, 10, {}}));
  // Control characters from the file never reach the terminal.
  Parse("volume = \x1b[2J", warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].find('\x1b'), std::string::npos);
}

TEST(SettingsFile, KeepsUnknownKeysAndReportsProblemsOnce) {
  ScratchDir dir;
  const std::string text =
      "# my own note\nvolume = 11\ntheme = dark\nscreen_mode = 1920x1200\n  future = 2  \n";
  dir.WriteFile("config/settings", {text.begin(), text.end()});
  const std::string path = dir.str() + "/config/settings";
  std::ostringstream err;
  SettingsFile file(path);
  Settings settings = file.Load(err);
  EXPECT_EQ(err.str(), "fenwhit: " + path +
                           ": line 2: volume = \"11\" is not a number from 0 to 10; using 10\n");
  EXPECT_EQ(settings.screenMode, 4);
  EXPECT_EQ(settings.foreign.volume, "11");
  settings.volume = 6;
  EXPECT_TRUE(file.Save(settings, err));
  EXPECT_EQ(Read(path),
            "# Fenwhit settings\nscreen_mode = 1920x1200\nfullscreen = no\nvolume = 6\n"
            "theme = dark\n  future = 2  \n");
  err.str("");
  settings.foreign = {};
  EXPECT_EQ(file.Load(err), settings);
  EXPECT_EQ(err.str(), "");

  // A broken file does not flood the terminal.
  std::string junk;
  for (int i = 0; i < 15; ++i) junk += "junk\n";
  dir.WriteFile("config/settings", {junk.begin(), junk.end()});
  EXPECT_EQ(file.Load(err), Settings{});
  EXPECT_TRUE(
      err.str().ends_with(": line 10: \"junk\" is not a \"key = value\" line; ignored\n"
                          "fenwhit: " +
                          path + ": 5 more warnings\n"))
      << err.str();

  // Nowhere to write: one warning, however often it is tried.
  dir.WriteFile("blocker", {'x'});
  SettingsFile blocked(dir.str() + "/blocker/settings");
  err.str("");
  EXPECT_EQ(blocked.Load(err), Settings{});
  EXPECT_FALSE(blocked.Save(settings, err));
  EXPECT_FALSE(blocked.Save(settings, err));
  const std::string warning = err.str();
  EXPECT_TRUE(warning.starts_with("fenwhit: cannot keep settings: ")) << warning;
  EXPECT_TRUE(warning.ends_with("; they last for this session only\n")) << warning;
  EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);

  // No path: this session only, quietly.
  SettingsFile sessionOnly("");
  err.str("");
  EXPECT_EQ(sessionOnly.Load(err), Settings{});
  EXPECT_TRUE(sessionOnly.Save(settings, err));
  EXPECT_EQ(err.str(), "");
}

// Two copies of the game open at once, and a newer version's values: each save writes only
// what this copy changed, over the file as it is now.
TEST(SettingsFile, EachCopyWritesOnlyWhatItChanged) {
  ScratchDir dir;
  const std::string path = dir.str() + "/settings";
  const std::string newer = "screen_mode = 3840x2160\nfullscreen = borderless\nvolume = 5\n";
  dir.WriteFile("settings", {newer.begin(), newer.end()});
  std::ostringstream err;
  SettingsFile first(path);
  SettingsFile second(path);
  Settings one = first.Load(err);
  Settings two = second.Load(err);
  EXPECT_EQ(one.volume, 5);
  EXPECT_EQ(one.screenMode, 0);

  one.volume = 2;
  ASSERT_TRUE(first.Save(one, err));
  EXPECT_EQ(Read(path),
            "# Fenwhit settings\nscreen_mode = 3840x2160\nfullscreen = borderless\nvolume = 2\n");
  two.fullscreen = true;
  ASSERT_TRUE(second.Save(two, err));
  EXPECT_EQ(Read(path),
            "# Fenwhit settings\nscreen_mode = 3840x2160\nfullscreen = yes\nvolume = 2\n");

  // A line added by hand meanwhile stays; each copy's earlier change stands.
  const std::string edited = Read(path) + "theme = dark\n";
  dir.WriteFile("settings", {edited.begin(), edited.end()});
  one.screenMode = 3;
  ASSERT_TRUE(first.Save(one, err));
  two.volume = 9;
  ASSERT_TRUE(second.Save(two, err));
  EXPECT_EQ(Read(path),
            "# Fenwhit settings\nscreen_mode = 1920x1080\nfullscreen = yes\nvolume = 9\n"
            "theme = dark\n");
  // The beat offset one copy sets stays when the other saves.
  one.avOffsetMs = -120;
  ASSERT_TRUE(first.Save(one, err));
  ASSERT_TRUE(second.Save(two, err));
  EXPECT_EQ(Read(path),
            "# Fenwhit settings\nscreen_mode = 1920x1080\nfullscreen = yes\nvolume = 9\n"
            "av_offset_ms = -120\ntheme = dark\n");
  EXPECT_EQ(err.str().find("cannot keep"), std::string::npos) << err.str();

  // Saving with nothing changed changes nothing, whatever another copy wrote since.
  const std::string before = Read(path);
  SettingsFile third(path);
  ASSERT_TRUE(third.Save(third.Load(err), err));
  ASSERT_TRUE(first.Save(one, err));
  EXPECT_EQ(Read(path), before);
}

TEST(SettingsFile, CalmFlashesAreKeptOnceSetAndOlderFilesStayAsTheyWere) {
  ScratchDir dir;
  const std::string path = dir.str() + "/settings";
  const std::string older =
      "# Fenwhit settings\nscreen_mode = 1280x720\nfullscreen = no\nvolume = 5\n";
  dir.WriteFile("settings", {older.begin(), older.end()});
  std::ostringstream err;
  SettingsFile file(path);
  Settings settings = file.Load(err);
  EXPECT_FALSE(settings.calmFlashes);
  settings.volume = 4;
  ASSERT_TRUE(file.Save(settings, err));
  EXPECT_EQ(Read(path),
            "# Fenwhit settings\nscreen_mode = 1280x720\nfullscreen = no\nvolume = 4\n");

  settings.calmFlashes = true;
  ASSERT_TRUE(file.Save(settings, err));
  EXPECT_NE(Read(path).find("\nflashes = calm\n"), std::string::npos);
  EXPECT_TRUE(SettingsFile(path).Load(err).calmFlashes);
  settings.calmFlashes = false;
  ASSERT_TRUE(file.Save(settings, err));
  EXPECT_FALSE(SettingsFile(path).Load(err).calmFlashes);
  EXPECT_TRUE(err.str().empty()) << err.str();

  // Either case reads; a word this copy does not know warns, means full and is kept.
  std::vector<std::string> warnings;
  EXPECT_TRUE(Parse("flashes = Calm", warnings).calmFlashes);
  EXPECT_FALSE(Parse("flashes = calm\nflashes = FULL", warnings).calmFlashes);
  EXPECT_TRUE(warnings.empty());
  const Settings foreign = Parse("flashes = gentle", warnings);
  EXPECT_FALSE(foreign.calmFlashes);
  EXPECT_EQ(warnings, std::vector<std::string>{
                          "line 1: flashes = \"gentle\" is not calm or full; using full"});
  EXPECT_NE(FormatSettings(foreign, kWindowSizes).find("\nflashes = gentle\n"), std::string::npos);
}

// Dotfile managers keep the file elsewhere and link to it: the link stays, the target changes.
TEST(SettingsFile, ALinkedFileStaysALink) {
  namespace fs = std::filesystem;
  ScratchDir dir;
  const std::string text = "volume = 4\n";
  dir.WriteFile("dotfiles/fenwhit", {text.begin(), text.end()});
  fs::create_directories(dir.path() / "config");
  // A relative link to a link that names the target absolutely.
  fs::create_symlink(dir.path() / "dotfiles" / "fenwhit", dir.path() / "dotfiles" / "current");
  fs::create_symlink("../dotfiles/current", dir.path() / "config" / "settings");
  const std::string path = dir.str() + "/config/settings";
  std::ostringstream err;
  SettingsFile file(path);
  Settings settings = file.Load(err);
  EXPECT_EQ(settings.volume, 4);
  settings.volume = 7;
  ASSERT_TRUE(file.Save(settings, err)) << err.str();
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "dotfiles" / "current"));
  EXPECT_EQ(Read(dir.str() + "/dotfiles/fenwhit"),
            "# Fenwhit settings\nscreen_mode = 1280x720\nfullscreen = no\nvolume = 7\n");

  // A link to a file not made yet: the file is made where it points.
  fs::create_symlink("../dotfiles/new/settings", dir.path() / "config" / "dangling");
  SettingsFile dangling(dir.str() + "/config/dangling");
  ASSERT_TRUE(dangling.Save(settings, err)) << err.str();
  EXPECT_TRUE(fs::is_symlink(dir.path() / "config" / "dangling"));
  EXPECT_EQ(Read(dir.str() + "/dotfiles/new/settings"), Read(dir.str() + "/dotfiles/fenwhit"));

  // Links in a circle: one warning, nothing written.
  fs::create_symlink("loop-b", dir.path() / "config" / "loop-a");
  fs::create_symlink("loop-a", dir.path() / "config" / "loop-b");
  SettingsFile loop(dir.str() + "/config/loop-a");
  EXPECT_FALSE(loop.Save(settings, err));
  EXPECT_FALSE(loop.Save(settings, err));
  EXPECT_EQ(err.str(), "fenwhit: cannot keep settings: cannot follow the link " + dir.str() +
                           "/config/loop-a: Too many levels of symbolic links; they last for "
                           "this session only\n");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "config" / "loop-a"));
}

// The player's music and the address last joined: any value the file can hold comes back as
// it was; one it cannot hold (a newline, control bytes, spaces at its ends, too long) leaves
// the file as it was.
TEST(SettingsFile, TheMusicChoiceAndTheAddressAreKeptAndNoValueCanBreakTheFile) {
  ScratchDir dir;
  const std::string path = dir.str() + "/settings";
  std::ostringstream err;
  SettingsFile file(path);
  Settings settings = file.Load(err);
  EXPECT_TRUE(settings.music.empty());
  EXPECT_FALSE(settings.ownMusic);

  const std::string odd = "/home/ann/Müsic/\xff\xfe odd = name #1.ogg";
  settings.music = odd;
  ASSERT_TRUE(file.Save(settings, err));
  const std::string kept = Read(path);
  EXPECT_EQ(kept,
            "# Fenwhit settings\nscreen_mode = 1280x720\nfullscreen = no\nvolume = 10\n"
            "music = " +
                odd + "\n");
  EXPECT_EQ(SettingsFile(path).Load(err).music, odd);

  for (const std::string& bad : {"/a\nvolume = 0"s, "/a\rb"s, "/a\0b"s, " /lead"s, "/trail\t"s,
                                 "/" + std::string(1020, 'x')}) {
    settings.music = bad;
    ASSERT_TRUE(file.Save(settings, err));
    EXPECT_EQ(Read(path), kept) << bad;
    EXPECT_FALSE(MusicPathKeepable(bad));
  }
  EXPECT_TRUE(MusicPathKeepable("/" + std::string(1014, 'x')));

  // Switching to the game's own music is remembered, and back; another copy's word stands.
  settings.music = odd;
  settings.ownMusic = true;
  ASSERT_TRUE(file.Save(settings, err));
  EXPECT_NE(Read(path).find("own_music = yes\n"), std::string::npos);
  SettingsFile other(path);
  Settings theirs = other.Load(err);
  EXPECT_TRUE(theirs.ownMusic);
  EXPECT_EQ(theirs.music, odd);
  settings.ownMusic = false;
  ASSERT_TRUE(file.Save(settings, err));
  theirs.volume = 3;
  ASSERT_TRUE(other.Save(theirs, err));
  Settings now = SettingsFile(path).Load(err);
  EXPECT_FALSE(now.ownMusic);
  EXPECT_EQ(now.volume, 3);
  EXPECT_EQ(now.music, odd);

  // A word a newer copy wrote is kept until the player switches.
  std::vector<std::string> warnings;
  Settings foreign = Parse("own_music = sometimes\nmusic = /x.ogg\n", warnings);
  EXPECT_FALSE(foreign.ownMusic);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(FormatSettings(foreign, kWindowSizes).find("own_music = sometimes\n"),
            std::string::npos);
  // A path no copy of the game writes, put in by hand, is not taken: it could not be kept.
  EXPECT_EQ(Parse("music = /a\x01"
                  "b\n",
                  warnings)
                .music,
            "");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("music = \"/a?b\" cannot be kept"), std::string::npos);

  // The address of the game last joined: the same, after the music lines once there is one.
  Settings joined = file.Load(err);
  joined.netAddress = "h\xC3\xB4te.lan:5030";
  ASSERT_TRUE(file.Save(joined, err));
  const std::string withAddress = Read(path);
  EXPECT_TRUE(withAddress.ends_with("music = " + odd + "\nnet_address = h\xC3\xB4te.lan:5030\n"))
      << withAddress;
  EXPECT_EQ(SettingsFile(path).Load(err).netAddress, joined.netAddress);
  for (const std::string& bad : {"a\nvolume = 0"s, " lead"s, "x\x7f"s, std::string(1011, 'x')}) {
    joined.netAddress = bad;
    ASSERT_TRUE(file.Save(joined, err));
    EXPECT_EQ(Read(path), withAddress) << bad;
  }
  EXPECT_EQ(Parse("net_address = a\x01"
                  "b\n",
                  warnings)
                .netAddress,
            "");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("net_address = \"a?b\" cannot be kept as an address"),
            std::string::npos);
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace fenwhit
