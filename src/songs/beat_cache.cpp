#include "songs/beat_cache.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "audio/byte_source.h"
#include "common/content_hash.h"
#include "keep/atomic_file.h"

namespace fenwhit {

namespace {

constexpr std::string_view kVersionLine = "fenwhit beats 1";
constexpr size_t kMostBeats = 100000;
constexpr double kLongestSong = 24.0 * 3600.0;
constexpr double kFastestTempo = 1000.0;
// Room for the most beats at the longest a number is ever written.
constexpr size_t kLargestEntry = 64 + kMostBeats * 26;

void AppendNumber(std::string& out, double value) {
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// The next line without its newline; false at the end of the text or on a last line
// that lacks its newline (a file cut short).
bool NextLine(std::string_view& text, std::string_view& line) {
  const size_t end = text.find('\n');
  if (end == std::string_view::npos) return false;
  line = text.substr(0, end);
  text.remove_prefix(end + 1);
  return true;
}

template <typename Number>
bool ParseWhole(std::string_view text, Number& value) {
  if (text.empty() || text.front() == '+' || text.front() == ' ') return false;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ParseField(std::string_view line, std::string_view name, std::string_view& value) {
  if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
      line[name.size()] != ' ') {
    return false;
  }
  value = line.substr(name.size() + 1);
  return true;
}

}  // namespace

std::optional<std::string> SongContentKey(const std::string& path) {
  const auto file = FileSource::Open(path);
  if (!file) return std::nullopt;
  ContentHash hash;
  std::vector<uint8_t> chunk(1 << 16);
  for (;;) {
    const size_t got = file->Read(chunk.data(), chunk.size());
    hash.Add(chunk.data(), got);
    if (got < chunk.size()) break;
  }
  // A file that shrank while it was read is not the one it was.
  if (file->Tell() != file->Size()) return std::nullopt;
  return hash.Hex();
}

std::string FormatBeatTimes(const BeatTimes& beats) {
  std::string out(kVersionLine);
  out += "\ntempo ";
  AppendNumber(out, beats.tempo);
  out += beats.steady ? "\nsteady 1\nbeats " : "\nsteady 0\nbeats ";
  out += std::to_string(beats.beats.size());
  out += '\n';
  for (const double beat : beats.beats) {
    AppendNumber(out, beat);
    out += '\n';
  }
  return out;
}

std::optional<BeatTimes> ParseBeatTimes(std::string_view text) {
  if (text.size() > kLargestEntry) return std::nullopt;
  std::string_view line;
  std::string_view value;
  BeatTimes beats;
  size_t count = 0;
  if (!NextLine(text, line) || line != kVersionLine) return std::nullopt;
  if (!NextLine(text, line) || !ParseField(line, "tempo", value) ||
      !ParseWhole(value, beats.tempo) || !(beats.tempo >= 0.0 && beats.tempo <= kFastestTempo)) {
    return std::nullopt;
  }
  if (!NextLine(text, line) || (line != "steady 0" && line != "steady 1")) return std::nullopt;
  beats.steady = line == "steady 1";
  if (!NextLine(text, line) || !ParseField(line, "beats", value) || !ParseWhole(value, count) ||
      count > kMostBeats) {
    return std::nullopt;
  }
  beats.beats.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    double beat = 0.0;
    if (!NextLine(text, line) || !ParseWhole(line, beat) ||
        !(beat >= 0.0 && beat <= kLongestSong)) {
      return std::nullopt;
    }
    if (!beats.beats.empty() && !(beat > beats.beats.back())) return std::nullopt;
    beats.beats.push_back(beat);
  }
  if (!text.empty()) return std::nullopt;
  return beats;
}

std::optional<BeatTimes> BeatCache::Find(const std::string& key) const {
  // A hash as SongContentKey makes it: nothing else may name a file in the folder.
  if (folder_.empty() || !IsContentHashHex(key)) return std::nullopt;
  std::string contents;
  std::string error;
  if (ReadSmallFile(folder_ + "/" + key, kLargestEntry, contents, error) != ReadResult::kOk) {
    return std::nullopt;
  }
  return ParseBeatTimes(contents);
}

bool BeatCache::Store(const std::string& key, const BeatTimes& beats, std::string& error) const {
  if (folder_.empty()) {
    error = "no folder to keep beats in";
    return false;
  }
  if (!IsContentHashHex(key)) {
    error = "not a song's key: " + key;
    return false;
  }
  // What could not be read back is not worth keeping.
  const std::string text = FormatBeatTimes(beats);
  if (!ParseBeatTimes(text)) {
    error = "beats beyond what the cache keeps";
    return false;
  }
  const std::string path = folder_ + "/" + key;
  return CreateParentFolders(path, error) && WriteFileAtomically(path, text, error);
}

}  // namespace fenwhit
