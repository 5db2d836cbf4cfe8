// The volume keys tapped during play at sixty frames a second while another process writes
// files and flushes them to the same disk, as a compile or a download does beside the game:
// the longest and the 99th-percentile pump of the player's settings, with the settings file
// on that disk. "frame_waits" has each frame wait for its own write, as the game did when it
// wrote the file on the frame thread; "writer_thread" is the game now; "worst_ratio" is the
// one's longest pump over the other's.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/recording_sound_device.h"
#include "keep/background_writer.h"
#include "platform/test_platform.h"
#include "settings/settings_platform.h"

namespace fenwhit {
namespace {

// A shell loop writing 32 MiB with fsync and removing it, in a process group of its own.
class DiskLoad {
 public:
  explicit DiskLoad(const std::string& folder) {
    pid_ = fork();
    if (pid_ == 0) {
      setpgid(0, 0);
      execl("/bin/sh", "sh", "-c",
            "while :; do dd if=/dev/zero of=\"$0/load\" bs=1M count=32 conv=fsync status=none;"
            " rm -f \"$0/load\"; done",
            folder.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (pid_ > 0) setpgid(pid_, pid_);
  }
  ~DiskLoad() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  DiskLoad(const DiskLoad&) = delete;
  DiskLoad& operator=(const DiskLoad&) = delete;

 private:
  pid_t pid_ = -1;
};

// Each pump's time in milliseconds, sorted, over ten seconds of taps.
std::vector<double> PumpTimes(const std::filesystem::path& settingsPath, bool frameWaits,
                              std::string& errors) {
  SettingsFile file(settingsPath.string());
  TestPlatform keyboard;
  RecordingSoundDevice sound;
  std::ostringstream err;
  BackgroundWriter writer;
  SettingsPlatform settings(keyboard, sound, file, writer, Settings{},
                            {[] { return 0; }, [] { return false; }}, err);
  constexpr int kFrames = 600;
  constexpr auto kPeriod = std::chrono::microseconds(16667);
  std::vector<double> pumps;
  auto due = std::chrono::steady_clock::now();
  for (int frame = 0; frame < kFrames; ++frame) {
    // A tap every tenth of a second, held for three frames: ten down, ten up.
    const int tap = frame / 6;
    if (frame % 6 == 0) keyboard.Press(tap % 20 < 10 ? scan::kMinus : scan::kEquals);
    if (frame % 6 == 3) keyboard.ReleaseAll();
    const auto start = std::chrono::steady_clock::now();
    settings.PumpEvents();
    if (frameWaits) writer.Drain();
    pumps.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    due += kPeriod;
    std::this_thread::sleep_until(due);
  }
  writer.Drain();
  errors += err.str();
  std::sort(pumps.begin(), pumps.end());
  return pumps;
}

void BM_VolumeKeysBesideADiskWriter(benchmark::State& state) {
  // On the build's disk, not a memory file system.
  const std::filesystem::path folder =
      std::filesystem::path(FENWHIT_BINARY_DIR) / "volume_key_bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "load");
  const DiskLoad load((folder / "load").string());
  std::this_thread::sleep_for(std::chrono::seconds(1));  // the load gets going
  std::string errors;
  for (auto _ : state) {
    for (const bool frameWaits : {true, false}) {
      const std::vector<double> pumps =
          PumpTimes(folder / "config" / "settings", frameWaits, errors);
      const std::string name = frameWaits ? "frame_waits_" : "writer_thread_";
      state.counters[name + "worst_ms"] = pumps.back();
      state.counters[name + "p99_ms"] = pumps[pumps.size() * 99 / 100];
    }
  }
  state.counters["worst_ratio"] =
      state.counters["frame_waits_worst_ms"] / state.counters["writer_thread_worst_ms"];
  if (!errors.empty()) state.SkipWithError(errors.c_str());
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_VolumeKeysBesideADiskWriter)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace fenwhit
