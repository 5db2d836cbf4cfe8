#include "keep/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <utility>

#include "keep/atomic_file.h"
#include "keep/file_lock.h"
#include "keep/text_lines.h"

namespace fenwhit {

namespace {

constexpr std::string_view kSpaces = " \t\r\v\f";
constexpr std::string_view kTooLarge = "larger than 64 KiB; using the default settings";
// A broken file could hold thousands of bad lines: the first few tell the story.
constexpr size_t kMaxWarningsShown = 10;

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kSpaces);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

// Text from the file, fit to be printed: no control characters reach the terminal.
std::string Shown(std::string_view text) {
  constexpr size_t kMaxShown = 60;
  std::string shown;
  for (const char c : text.substr(0, kMaxShown)) {
    const auto byte = static_cast<unsigned char>(c);
    shown += byte < 0x20 || byte == 0x7f ? '?' : c;
  }
  if (text.size() > kMaxShown) shown += "...";
  return shown;
}

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

std::string SizeName(const ModeSize& size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::optional<int> ParseScreenMode(std::string_view value, std::span<const ModeSize> modes,
                                   const std::string& where, std::vector<std::string>& warnings) {
  const std::string wanted = Lowered(value);
  std::string known;
  for (size_t i = 0; i < modes.size(); ++i) {
    if (wanted == SizeName(modes[i])) return static_cast<int>(i);
    known += (i == 0 ? "" : ", ") + SizeName(modes[i]);
  }
  warnings.push_back(where + "screen_mode = \"" + Shown(value) +
                     "\" is not one of the window sizes (" + known + "); using " +
                     (modes.empty() ? "the first" : SizeName(modes[0])));
  return std::nullopt;
}

std::optional<bool> ParseFullscreen(std::string_view value, const std::string& where,
                                    std::vector<std::string>& warnings) {
  const std::string word = Lowered(value);
  if (word == "yes" || word == "true" || word == "1") return true;
  if (word == "no" || word == "false" || word == "0") return false;
  warnings.push_back(where + "fullscreen = \"" + Shown(value) + "\" is not yes or no; using no");
  return std::nullopt;
}

// A setting of two words, such as "yes" or "no"; the second is the default.
std::optional<bool> ParseTwoWords(std::string_view value, std::string_view key,
                                  std::string_view trueWord, std::string_view falseWord,
                                  const std::string& where, std::vector<std::string>& warnings) {
  const std::string word = Lowered(value);
  if (word == trueWord) return true;
  if (word == falseWord) return false;
  warnings.push_back(where + std::string(key) + " = \"" + Shown(value) + "\" is not " +
                     std::string(trueWord) + " or " + std::string(falseWord) + "; using " +
                     std::string(falseWord));
  return std::nullopt;
}

std::optional<int> ParseVolume(std::string_view value, const std::string& where,
                               std::vector<std::string>& warnings) {
  int volume = -1;
  const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), volume);
  if (failure == std::errc() && end == value.data() + value.size() && volume >= 0 && volume <= 10) {
    return volume;
  }
  warnings.push_back(where + "volume = \"" + Shown(value) +
                     "\" is not a number from 0 to 10; using 10");
  return std::nullopt;
}

std::optional<std::optional<int>> ParseAvOffset(std::string_view value, const std::string& where,
                                                std::vector<std::string>& warnings) {
  int ms = 0;
  const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), ms);
  if (failure == std::errc() && end == value.data() + value.size() && ms >= -300 && ms <= 300) {
    return std::optional<int>(ms);
  }
  warnings.push_back(where + "av_offset_ms = \"" + Shown(value) +
                     "\" is not a number from -300 to 300; using none");
  return std::nullopt;
}

// A value understood sets the setting; one not understood gives the default and is kept as
// the file has it.
template <typename Value>
void Take(std::optional<Value> understood, Value fallback, std::string_view text, Value& setting,
          std::optional<std::string>& foreign) {
  setting = understood.value_or(fallback);
  foreign = understood ? std::nullopt : std::optional<std::string>(text);
}

// This copy's value of a setting goes over the file's only when this copy changed it.
template <typename Value>
void TakeIfChanged(Value mine, Value known, Value& merged, std::optional<std::string>& foreign) {
  if (mine == known) return;
  merged = mine;
  foreign.reset();
}

// The text a setting is written as: a value not understood as it was, else its own.
std::string Written(const std::optional<std::string>& foreign, std::string own) {
  return foreign ? *foreign : own;
}

constexpr std::string_view kMusicKey = "music = ";
constexpr std::string_view kNetAddressKey = "net_address = ";

// Whether "key = value" reads back as the same value: one line within the limit, no
// control bytes, nothing that trimming would take.
bool KeepableOnOneLine(std::string_view key, std::string_view value) {
  if (value.size() + key.size() > kSettingsMaxLineBytes) return false;
  if (value != Trimmed(value)) return false;
  return std::none_of(value.begin(), value.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

// A value of a free-text key: taken when it could be written back as it is. asWhat names
// what it is for the warning.
void TakeText(std::string_view key, std::string_view value, std::string_view asWhat,
              const std::string& where, std::string& setting, std::vector<std::string>& warnings) {
  if (KeepableOnOneLine(key, value)) {
    setting = value;
  } else {
    warnings.push_back(where + std::string(key) + "\"" + Shown(value) + "\" cannot be kept as " +
                       std::string(asWhat) + "; ignored");
  }
}

}  // namespace

bool MusicPathKeepable(std::string_view path) {
  return KeepableOnOneLine(kMusicKey, path);
}

bool NetAddressKeepable(std::string_view address) {
  return KeepableOnOneLine(kNetAddressKey, address);
}

Settings ParseSettings(std::string_view text, std::span<const ModeSize> modes,
                       std::vector<std::string>& warnings) {
  Settings settings;
  if (text.size() > kSettingsMaxBytes) {
    warnings.emplace_back(kTooLarge);
    return settings;
  }
  const Settings defaults;
  size_t otherBytes = 0;
  TextLines lines(text);
  for (std::string_view line; lines.Next(line);) {
    const std::string where = lines.Where();
    if (line.size() > kSettingsMaxLineBytes) {
      warnings.push_back(where + "longer than 1024 bytes; ignored");
      continue;
    }
    if (line.find('\0') != std::string_view::npos) {
      warnings.push_back(where + "holds a NUL byte; ignored");
      continue;
    }
    const std::string_view content = Trimmed(line);
    if (content.empty() || content.front() == '#') continue;
    const size_t equals = content.find('=');
    const std::string_view key = Trimmed(content.substr(0, equals));
    if (equals == std::string_view::npos || key.empty()) {
      warnings.push_back(where + "\"" + Shown(content) +
                         "\" is not a \"key = value\" line; ignored");
      continue;
    }
    const std::string_view value = Trimmed(content.substr(equals + 1));
    ForeignValues& foreign = settings.foreign;
    if (key == "screen_mode") {
      Take(ParseScreenMode(value, modes, where, warnings), defaults.screenMode, value,
           settings.screenMode, foreign.screenMode);
    } else if (key == "fullscreen") {
      Take(ParseFullscreen(value, where, warnings), defaults.fullscreen, value, settings.fullscreen,
           foreign.fullscreen);
    } else if (key == "volume") {
      Take(ParseVolume(value, where, warnings), defaults.volume, value, settings.volume,
           foreign.volume);
    } else if (key == "music") {
      // What could not be written back as it was is not taken (a path with a tab in it).
      TakeText(kMusicKey, value, "a path", where, settings.music, warnings);
    } else if (key == "net_address") {
      TakeText(kNetAddressKey, value, "an address", where, settings.netAddress, warnings);
    } else if (key == "av_offset_ms") {
      Take(ParseAvOffset(value, where, warnings), defaults.avOffsetMs, value, settings.avOffsetMs,
           foreign.avOffset);
    } else if (key == "own_music") {
      Take(ParseTwoWords(value, key, "yes", "no", where, warnings), defaults.ownMusic, value,
           settings.ownMusic, foreign.ownMusic);
    } else if (key == "flashes") {
      Take(ParseTwoWords(value, key, "calm", "full", where, warnings), defaults.calmFlashes, value,
           settings.calmFlashes, foreign.flashes);
    } else if (otherBytes + line.size() + 1 > kSettingsMaxOtherBytes) {
      warnings.push_back(where + "too many unknown settings; " + Shown(key) + " ignored");
    } else {
      otherBytes += line.size() + 1;
      settings.otherLines.emplace_back(line);
    }
  }
  return settings;
}

std::string FormatSettings(const Settings& settings, std::span<const ModeSize> modes) {
  const ForeignValues& foreign = settings.foreign;
  std::string text = "# Fenwhit settings\n";
  if (foreign.screenMode) {
    text += "screen_mode = " + *foreign.screenMode + "\n";
  } else if (!modes.empty()) {
    const bool known = settings.screenMode >= 0 && settings.screenMode < int(modes.size());
    text += "screen_mode = " + SizeName(modes[known ? settings.screenMode : 0]) + "\n";
  }
  text += "fullscreen = " + Written(foreign.fullscreen, settings.fullscreen ? "yes" : "no") + "\n";
  const int volume = settings.volume < 0 ? 0 : settings.volume > 10 ? 10 : settings.volume;
  text += "volume = " + Written(foreign.volume, std::to_string(volume)) + "\n";
  // The music lines appear once the player has chosen music.
  if (!settings.music.empty() && MusicPathKeepable(settings.music)) {
    text += std::string(kMusicKey) + settings.music + "\n";
  }
  if (settings.ownMusic || foreign.ownMusic) {
    text += "own_music = " + Written(foreign.ownMusic, settings.ownMusic ? "yes" : "no") + "\n";
  }
  // And the address once the player has joined a game.
  if (!settings.netAddress.empty() && NetAddressKeepable(settings.netAddress)) {
    text += std::string(kNetAddressKey) + settings.netAddress + "\n";
  }
  // Written once set, so the files of players who never set it stay as they were.
  if (settings.calmFlashes || foreign.flashes) {
    text += "flashes = " + Written(foreign.flashes, settings.calmFlashes ? "calm" : "full") + "\n";
  }
  if (settings.avOffsetMs || foreign.avOffset) {
    const int ms = std::clamp(settings.avOffsetMs.value_or(0), -300, 300);
    text += "av_offset_ms = " + Written(foreign.avOffset, std::to_string(ms)) + "\n";
  }
  for (const std::string& line : settings.otherLines) text += line + "\n";
  return text;
}

SettingsFile::SettingsFile(std::string path, std::span<const ModeSize> modes)
    : path_(std::move(path)), modes_(modes.begin(), modes.end()) {}

Settings SettingsFile::Load(std::ostream& err) {
  if (path_.empty()) return {};
  known_ = {};
  std::string text;
  std::string error;
  switch (ReadSmallFile(path_, kSettingsMaxBytes, text, error)) {
    case ReadResult::kMissing:
      return {};
    case ReadResult::kTooLarge:
      err << "fenwhit: " << path_ << ": " << kTooLarge << '\n';
      return {};
    case ReadResult::kUnreadable:
      err << "fenwhit: " << path_ << ": cannot read it (" << error
          << "); using the default settings\n";
      return {};
    case ReadResult::kOk:
      break;
  }
  std::vector<std::string> warnings;
  Settings settings = ParseSettings(text, modes_, warnings);
  known_ = settings;
  for (size_t i = 0; i < warnings.size() && i < kMaxWarningsShown; ++i) {
    err << "fenwhit: " << path_ << ": " << warnings[i] << '\n';
  }
  if (warnings.size() > kMaxWarningsShown) {
    err << "fenwhit: " << path_ << ": " << warnings.size() - kMaxWarningsShown
        << " more warnings\n";
  }
  return settings;
}

Settings SettingsFile::Reread() const {
  std::string text;
  std::string error;
  if (ReadSmallFile(path_, kSettingsMaxBytes, text, error) != ReadResult::kOk) return known_;
  // Warnings about what is there were given when it was loaded.
  std::vector<std::string> warnings;
  return ParseSettings(text, modes_, warnings);
}

bool SettingsFile::Save(const Settings& settings, std::ostream& err) {
  if (path_.empty()) return true;
  // Another copy of the game may be saving its own changes at this moment.
  const FileLock lock(path_);
  Settings merged = Reread();
  ForeignValues& foreign = merged.foreign;
  TakeIfChanged(settings.screenMode, known_.screenMode, merged.screenMode, foreign.screenMode);
  TakeIfChanged(settings.fullscreen, known_.fullscreen, merged.fullscreen, foreign.fullscreen);
  TakeIfChanged(settings.volume, known_.volume, merged.volume, foreign.volume);
  TakeIfChanged(settings.ownMusic, known_.ownMusic, merged.ownMusic, foreign.ownMusic);
  TakeIfChanged(settings.calmFlashes, known_.calmFlashes, merged.calmFlashes, foreign.flashes);
  TakeIfChanged(settings.avOffsetMs, known_.avOffsetMs, merged.avOffsetMs, foreign.avOffset);
  // A path the file cannot hold leaves the one it has.
  if (settings.music != known_.music && MusicPathKeepable(settings.music)) {
    merged.music = settings.music;
  }
  if (settings.netAddress != known_.netAddress && NetAddressKeepable(settings.netAddress)) {
    merged.netAddress = settings.netAddress;
  }
  if (settings.otherLines != known_.otherLines) merged.otherLines = settings.otherLines;
  std::string target;
  std::string error;
  if (FollowSymbolicLinks(path_, target, error) &&
      WriteFileAtomically(target, FormatSettings(merged, modes_), error)) {
    known_ = settings;
    return true;
  }
  if (!warnedAboutSaving_) {
    err << "fenwhit: cannot keep settings: " << error << "; they last for this session only\n";
    warnedAboutSaving_ = true;
  }
  return false;
}

}  // namespace fenwhit
