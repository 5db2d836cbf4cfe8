#pragma once
// A recorded game and its file: where the game started from and every frame's input, so that
// it plays again exactly.
//
// The file, numbers little-endian: "FWRP" and a zero byte (so that text tools call it
// binary), the format version (u32); the game version, the player and (from format 2 on) the
// recording machine's architecture, each a length byte and its characters; from format 3 on
// the song's title and content key (a length byte each) and path (a u16 length); kind, screen
// mode (i32); seed (u64); start time, final score (i64); the
// counts of frames, checksums and start state bytes, the body's size and its deflated size
// (u32); the deflated body; the CRC-32 of everything before it (u32).
//
// The body: the start state, the checksums (u64 each), then the frames as changes. A frame
// "like the last" has the last frame's keys and buttons, no beats and no close. The frames are
// a varint count of frames like the last and then, unless that is the end, one that differs:
// a flags byte (1 keys, 2 buttons, 4 beats, 8 close) followed, for keys, by the varint count
// of keys that changed and their scan codes in increasing order, for buttons by the new
// buttons and for beats by the beats (varints).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenwhit {

inline constexpr uint32_t kReplayFormatVersion = 3;
// Format 2 is format 3 without the song, and format 1 is format 2 without the architecture;
// both are still read, as games played to the game's own music.
inline constexpr uint32_t kReplayOldestFormatVersion = 1;
inline constexpr int kReplayChecksumEvery = 60;  // frames between stored state checksums

struct ReplayFrame {
  std::array<uint64_t, 2> keys{};  // bit n (n = 0..127) of keys[n / 64]: scan code n held
  int32_t mouseButtons = 0;        // bit 0 left, 1 right, 2 middle (0..7)
  int32_t beats = 0;               // beats the frame took (0 on most frames; >= 0)
  bool close = false;              // the window was closed during this frame

  bool operator==(const ReplayFrame&) const = default;
};

// The player's song a game was played to; all empty for the game's own music.
struct ReplaySong {
  std::string title;       // as the menu showed it: 0..128 bytes of UTF-8 without control
                           // characters (C0, DEL, C1)
  std::string contentKey;  // SongContentKey's 32 lowercase hex digits
  std::string path;        // where the game played it from: 0..4096 bytes, no NUL
  bool operator==(const ReplaySong&) const = default;
};

inline constexpr size_t kReplayMaxSongTitleBytes = 128;
inline constexpr size_t kReplayMaxSongPathBytes = 4096;

struct Replay {
  std::string gameVersion;   // the program's version string, e.g. "1.4.0" (1..32 printable ASCII)
  int32_t kind = 0;          // 0 one paddle, 1 two paddles
  int32_t screenMode = 0;    // 0..15
  uint64_t seed = 0;         // random generator seed at the game's start
  int64_t startTime = 0;     // Unix seconds (UTC) when the game started
  std::string player;        // as in the scores table: 0..12 chars of A-Z 0-9 space . - _
  std::string architecture;  // the recording machine's, e.g. "x86_64" (0..32 printable ASCII);
                             // "" when unknown (a format 1 file)
  ReplaySong song;           // empty before format 3
  std::vector<uint8_t> startState;  // opaque bytes: the game's state at its start (<= 1 MiB)
  std::vector<ReplayFrame> frames;  // one per game frame, in order
  std::vector<uint64_t> checksums;  // checksums[i]: state checksum before frame i * 60;
                                    // size == frames.size() / 60 + 1 exactly
  int64_t finalScore = 0;           // 0 .. 1e18

  bool operator==(const Replay&) const = default;
};

inline constexpr size_t kReplayMaxFileBytes = 16 << 20;
inline constexpr size_t kReplayMaxStartStateBytes = 1 << 20;
inline constexpr size_t kReplayMaxFrames = 6'000'000;  // more than a day at 60 frames a second

// The file's bytes. Deterministic (same replay, same bytes). A replay with a field out of
// range still encodes, to bytes that DecodeReplay refuses.
std::string EncodeReplay(const Replay& replay);

// nullopt with `why` (short, lower case, no file name, e.g. "not a replay file",
// "format version 7, this program reads 1 to 2", "truncated", "damaged (checksum)", "too large")
// for anything that is not a whole, valid replay.
std::optional<Replay> DecodeReplay(std::string_view bytes, std::string& why);

// The processor architecture this program was built for, as replays record it ("x86_64",
// "aarch64", ...; "unknown" for one not named here).
std::string_view ThisArchitecture();

// The song as a replay keeps it: a title that is not UTF-8 has each bad byte and control
// character as '?', and is cut to its limit at a character's end; a path too long is left
// out. Nothing at all unless the key is a content key.
ReplaySong FitReplaySong(std::string_view title, std::string_view contentKey,
                         std::string_view path);

// What keeps the replay from being written and read back (such as "bad player name"); ""
// when nothing does.
std::string ReplayProblem(const Replay& replay);

}  // namespace fenwhit
