#include "replay/replay_file.h"

#include <libdeflate.h>

#include <algorithm>
#include <limits>

#include "common/byte_codec.h"
#include "common/content_hash.h"
#include "common/deflate_bytes.h"
#include "common/utf8_text.h"
#include "keep/scores.h"
#include "replay/replay_frames.h"

namespace fenwhit {

namespace {

constexpr std::string_view kMagic{"FWRP\0", 5};
constexpr size_t kCrcBytes = 4;
constexpr size_t kMaxShortTextLength = 32;  // game version, architecture
constexpr uint32_t kFirstFormatWithArchitecture = 2;
constexpr uint32_t kFirstFormatWithSong = 3;
// The largest body a 6 000 000-frame game of ordinary play needs is far below this.
constexpr uint64_t kMaxBodyBytes = uint64_t{64} << 20;

// The header's counts; the replay's vectors stay empty until the body is read.
struct Counts {
  uint64_t frames = 0;
  uint64_t checksums = 0;
  uint64_t startStateBytes = 0;
};

bool IsPrintable(char c) {
  return c >= ' ' && c <= '~';
}

bool IsShortPrintable(const std::string& text) {
  return text.size() <= kMaxShortTextLength && std::all_of(text.begin(), text.end(), IsPrintable);
}

// All empty, or a content key with a title and path within their limits.
std::string SongProblem(const ReplaySong& song) {
  if (song.contentKey.empty()) {
    return song.title.empty() && song.path.empty() ? "" : "song without a content key";
  }
  if (!IsContentHashHex(song.contentKey)) return "bad song content key";
  if (song.title.size() > kReplayMaxSongTitleBytes || !IsShownUtf8(song.title)) {
    return "bad song title";
  }
  if (song.path.size() > kReplayMaxSongPathBytes || song.path.find('\0') != std::string::npos) {
    return "bad song path";
  }
  return "";
}

std::string HeaderProblem(const Replay& replay, const Counts& counts) {
  if (replay.gameVersion.empty() || !IsShortPrintable(replay.gameVersion)) {
    return "bad game version";
  }
  if (!IsShortPrintable(replay.architecture)) return "bad architecture";
  if (std::string problem = SongProblem(replay.song); !problem.empty()) return problem;
  if (replay.kind != 0 && replay.kind != 1) return "bad kind";
  if (replay.screenMode < 0 || replay.screenMode > 15) return "bad screen mode";
  if (replay.player.size() > kMaxNameLength ||
      !std::all_of(replay.player.begin(), replay.player.end(), IsNameCharacter)) {
    return "bad player name";
  }
  if (replay.finalScore < 0 || replay.finalScore > kMaxScore) return "bad score";
  if (counts.frames > kReplayMaxFrames) return "too many frames";
  if (counts.checksums != counts.frames / kReplayChecksumEvery + 1) {
    return "checksum count does not match frame count";
  }
  if (counts.startStateBytes > kReplayMaxStartStateBytes) return "start state too large";
  return "";
}

uint32_t Crc(std::string_view bytes) {
  return libdeflate_crc32(0, bytes.data(), bytes.size());
}

}  // namespace

std::string_view ThisArchitecture() {
#if defined(__x86_64__)
  return "x86_64";
#elif defined(__aarch64__)
  return "aarch64";
#elif defined(__i386__)
  return "i386";
#elif defined(__arm__)
  return "arm";
#elif defined(__riscv) && __riscv_xlen == 64
  return "riscv64";
#elif defined(__powerpc64__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  return "ppc64le";
#elif defined(__s390x__)
  return "s390x";
#elif defined(__loongarch64)
  return "loongarch64";
#else
  return "unknown";
#endif
}

ReplaySong FitReplaySong(std::string_view title, std::string_view contentKey,
                         std::string_view path) {
  ReplaySong song;
  if (!IsContentHashHex(contentKey)) return song;
  song.contentKey = contentKey;
  for (size_t at = 0; at < title.size();) {
    const size_t length = ShownCharacterBytes(title, at);
    // A byte that begins no shown character stands as one '?'.
    const std::string_view piece = length != 0 ? title.substr(at, length) : "?";
    if (song.title.size() + piece.size() > kReplayMaxSongTitleBytes) break;
    song.title += piece;
    at += std::max<size_t>(length, 1);
  }
  if (path.size() <= kReplayMaxSongPathBytes && path.find('\0') == std::string_view::npos) {
    song.path = path;
  }
  return song;
}

std::string ReplayProblem(const Replay& replay) {
  const Counts counts{replay.frames.size(), replay.checksums.size(), replay.startState.size()};
  if (std::string problem = HeaderProblem(replay, counts); !problem.empty()) return problem;
  for (const ReplayFrame& frame : replay.frames) {
    if (std::string problem = ReplayFrameProblem(frame); !problem.empty()) return problem;
  }
  return "";
}

std::string EncodeReplay(const Replay& replay) {
  ByteWriter body;
  body.Bytes(replay.startState.data(), replay.startState.size());
  for (const uint64_t checksum : replay.checksums) body.U64(checksum);
  EncodeReplayFrames(replay.frames, body);
  const std::string deflated = DeflateBytes(body.bytes());

  // Counts no file can hold are written as the largest, which the reader refuses.
  const auto count = [](size_t size) {
    return static_cast<uint32_t>(std::min<size_t>(size, std::numeric_limits<uint32_t>::max()));
  };
  ByteWriter file;
  file.Bytes(kMagic.data(), kMagic.size());
  file.U32(kReplayFormatVersion);
  file.ShortText(replay.gameVersion);
  file.ShortText(replay.player);
  file.ShortText(replay.architecture);
  file.ShortText(replay.song.title);
  file.ShortText(replay.song.contentKey);
  file.Text16(replay.song.path);
  file.U32(static_cast<uint32_t>(replay.kind));
  file.U32(static_cast<uint32_t>(replay.screenMode));
  file.U64(replay.seed);
  file.U64(static_cast<uint64_t>(replay.startTime));
  file.U64(static_cast<uint64_t>(replay.finalScore));
  file.U32(count(replay.frames.size()));
  file.U32(count(replay.checksums.size()));
  file.U32(count(replay.startState.size()));
  file.U32(count(body.bytes().size()));
  file.U32(count(deflated.size()));
  file.Bytes(deflated.data(), deflated.size());
  file.U32(Crc(file.bytes()));
  return std::move(file.bytes());
}

std::optional<Replay> DecodeReplay(std::string_view bytes, std::string& why) {
  const auto refuse = [&why](std::string reason) -> std::optional<Replay> {
    why = std::move(reason);
    return std::nullopt;
  };
  if (bytes.size() > kReplayMaxFileBytes) return refuse("too large");
  if (bytes.empty() || !kMagic.starts_with(bytes.substr(0, kMagic.size()))) {
    return refuse("not a replay file");
  }
  if (bytes.size() < kMagic.size()) return refuse("truncated");
  ByteReader in(bytes);
  in.Skip(kMagic.size());

  uint32_t version = 0;
  if (!in.U32(version)) return refuse("truncated");
  if (version < kReplayOldestFormatVersion || version > kReplayFormatVersion) {
    return refuse("format version " + std::to_string(version) + ", this program reads " +
                  std::to_string(kReplayOldestFormatVersion) + " to " +
                  std::to_string(kReplayFormatVersion));
  }
  Replay replay;
  uint32_t frames = 0;
  uint32_t checksums = 0;
  uint32_t startStateBytes = 0;
  uint32_t bodyBytes = 0;
  uint32_t deflatedBytes = 0;
  if (!in.ShortText(replay.gameVersion) || !in.ShortText(replay.player) ||
      (version >= kFirstFormatWithArchitecture && !in.ShortText(replay.architecture)) ||
      (version >= kFirstFormatWithSong &&
       (!in.ShortText(replay.song.title) || !in.ShortText(replay.song.contentKey) ||
        !in.Text16(replay.song.path))) ||
      !in.I32(replay.kind) || !in.I32(replay.screenMode) || !in.U64(replay.seed) ||
      !in.I64(replay.startTime) || !in.I64(replay.finalScore) || !in.U32(frames) ||
      !in.U32(checksums) || !in.U32(startStateBytes) || !in.U32(bodyBytes) ||
      !in.U32(deflatedBytes)) {
    return refuse("truncated");
  }
  if (in.left() < uint64_t{deflatedBytes} + kCrcBytes) return refuse("truncated");
  if (in.left() > uint64_t{deflatedBytes} + kCrcBytes) return refuse("trailing bytes");
  const std::string_view covered = bytes.substr(0, bytes.size() - kCrcBytes);
  ByteReader crcReader(bytes.substr(covered.size()));
  uint32_t storedCrc = 0;
  crcReader.U32(storedCrc);
  if (storedCrc != Crc(covered)) return refuse("damaged (checksum)");

  const Counts counts{frames, checksums, startStateBytes};
  if (std::string problem = HeaderProblem(replay, counts); !problem.empty()) {
    return refuse(std::move(problem));
  }
  const uint64_t fixedPart = uint64_t{startStateBytes} + uint64_t{checksums} * 8;
  if (bodyBytes > kMaxBodyBytes || bodyBytes > uint64_t{deflatedBytes} * kMaxDeflateRatio ||
      bodyBytes < fixedPart) {
    return refuse("damaged (body size)");
  }
  std::string body(bodyBytes, '\0');
  if (!InflateExactly(bytes.substr(in.position(), deflatedBytes), body.data(), body.size())) {
    return refuse("damaged (body)");
  }

  ByteReader bodyReader(body);
  bodyReader.Bytes(startStateBytes, replay.startState);
  replay.checksums.resize(checksums);
  for (uint64_t& checksum : replay.checksums) bodyReader.U64(checksum);
  // The header's frame count is only a claim: the body is walked before room is made.
  if (std::string problem = DecodeReplayFrames(bodyReader, frames, nullptr); !problem.empty()) {
    return refuse(std::move(problem));
  }
  replay.frames.reserve(frames);
  DecodeReplayFrames(bodyReader, frames, &replay.frames);
  return replay;
}

}  // namespace fenwhit
