#pragma once
// The settings the game remembers between runs, kept as "key = value" lines. Lines with
// keys this version does not know are kept and written back, so that an older copy of the
// game does not throw away what a newer one wrote. Comments and blank lines are not kept:
// the game writes the file anew each time.
#include <array>
#include <cstddef>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fenwhit {

struct Settings {
  int screenMode = 0;  // index into the game's six window sizes
  bool fullscreen = false;
  int volume = 10;  // 0 (silent) to 10
  // Lines with keys this version does not know, kept verbatim in order and written back.
  std::vector<std::string> otherLines;

  bool operator==(const Settings&) const = default;
};

struct ModeSize {
  int width;
  int height;
};

// The game's window sizes, in the order of its screen modes.
inline constexpr std::array<ModeSize, 6> kWindowSizes = {
    {{1280, 720}, {1280, 800}, {1366, 768}, {1920, 1080}, {1920, 1200}, {2560, 1440}}};

inline constexpr size_t kSettingsMaxBytes = 64 * 1024;
inline constexpr size_t kSettingsMaxLineBytes = 1024;
// Unknown lines are kept up to this many bytes in all, so the file never outgrows its limit.
inline constexpr size_t kSettingsMaxOtherBytes = 16 * 1024;

// Every bad value gives one warning line in `warnings` (naming the key, the value and the
// default used) and its default; so does every line that cannot be read, which is dropped.
Settings ParseSettings(std::string_view text, std::span<const ModeSize> modes,
                       std::vector<std::string>& warnings);
std::string FormatSettings(const Settings& settings, std::span<const ModeSize> modes);

// The settings file on disk. An empty path keeps the settings for this session only.
class SettingsFile {
 public:
  explicit SettingsFile(std::string path, std::span<const ModeSize> modes = kWindowSizes);

  // The settings in the file, or the defaults; each warning is a "fenwhit: <path>: ..." line.
  Settings Load(std::ostream& err);
  // False if they could not be written; only the first failure is reported.
  bool Save(const Settings& settings, std::ostream& err);

 private:
  std::string path_;
  std::vector<ModeSize> modes_;
  bool warnedAboutSaving_ = false;
};

}  // namespace fenwhit
