#pragma once
// The settings the game remembers between runs, kept as "key = value" lines. Lines with
// keys this version does not know are kept and written back, so that an older copy of the
// game does not throw away what a newer one wrote, and so are values of known keys that it
// does not understand. Comments and blank lines are not kept: the game writes the file anew
// each time.
#include <array>
#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fenwhit {

// Values of the known keys that this version does not understand (a newer version's screen
// mode), as the file has them.
struct ForeignValues {
  std::optional<std::string> screenMode;
  std::optional<std::string> fullscreen;
  std::optional<std::string> volume;
  std::optional<std::string> ownMusic;
  std::optional<std::string> flashes;
  std::optional<std::string> avOffset;

  bool operator==(const ForeignValues&) const = default;
};

struct Settings {
  int screenMode = 0;  // index into the game's six window sizes
  bool fullscreen = false;
  int volume = 10;  // 0 (silent) to 10
  // Lines with keys this version does not know, kept verbatim in order and written back.
  std::vector<std::string> otherLines;
  // Written back in place of the setting's own value until the player changes the setting.
  ForeignValues foreign = {};
  // The player's music: a song or a folder of songs ("" for none), and whether the game's
  // own music plays instead for now.
  std::string music = {};
  bool ownMusic = false;
  // The address of the game last joined over the network ("" for none).
  std::string netAddress = {};
  // Flashes softened for players sensitive to them ("flashes = calm").
  bool calmFlashes = false;
  // How much later than the sound card says the beat is heard, in milliseconds (-300 to
  // 300), once the player has set it; written only then.
  std::optional<int> avOffsetMs = {};

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

// Whether a music path can be kept in the file as it is: one line, no control bytes, no
// spaces at its ends (they are trimmed on reading), within the line limit.
bool MusicPathKeepable(std::string_view path);
// The same for the address of a network game.
bool NetAddressKeepable(std::string_view address);

// Every bad value gives one warning line in `warnings` (naming the key, the value and the
// default used) and its default, and is kept in `foreign`; every line that cannot be read
// gives one too, and is dropped.
Settings ParseSettings(std::string_view text, std::span<const ModeSize> modes,
                       std::vector<std::string>& warnings);
std::string FormatSettings(const Settings& settings, std::span<const ModeSize> modes);

// The settings file on disk. An empty path keeps the settings for this session only.
class SettingsFile {
 public:
  explicit SettingsFile(std::string path, std::span<const ModeSize> modes = kWindowSizes);

  // The settings in the file, or the defaults; each warning is a "fenwhit: <path>: ..." line.
  Settings Load(std::ostream& err);
  // Writes the settings this copy changed since it loaded or last saved them, over the file
  // as it is now: under the lock the scores use, it is read again and every other setting
  // (a change another copy made, a line added by hand) stays as it is there. A file that is
  // a symbolic link stays one: its target is replaced. False if they could not be written;
  // only the first failure is reported.
  bool Save(const Settings& settings, std::ostream& err);

 private:
  // The file's settings now; where it cannot be read, those this copy knows.
  Settings Reread() const;

  std::string path_;
  std::vector<ModeSize> modes_;
  // What this copy loaded or last saved: what differs from it is the player's change.
  Settings known_;
  bool warnedAboutSaving_ = false;
};

}  // namespace fenwhit
