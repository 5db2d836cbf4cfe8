#include "audio/sound_bank.h"

#include <thread>

#include "game/rounding.h"

namespace fenwhit {

std::atomic<SoundHandle> soundTable[sound::kTableSize];

namespace {

int32_t nextChannel = 0;
int32_t soundThrottle = 0;
std::thread loaderThread;

struct SoundFile {
  int id;
  const char* file;
};

// The loader's order; the slots it leaves out are streams, select.ogg or unused.
constexpr SoundFile kLoaderOrder[] = {
    {sound::kExplosion, "explosion.ogg"},
    {sound::kBallWall, "ballwall.ogg"},
    {sound::kNewEvent, "NewEvent.ogg"},
    {sound::kExtraBall, "new_ExtraBall2.ogg"},
    {sound::kPaddleShrink, "new_paddleshrink2.ogg"},
    {sound::kPaddleExpand, "paddleexpand.ogg"},
    {sound::kSpeedUp, "new_speedup2.ogg"},
    {sound::kRotateArena, "new_rotatearena2.ogg"},
    {sound::kGhostBalls, "new_ghostballs2.ogg"},
    {sound::kArenaChange, "arenachange.ogg"},
    {sound::kLimitedVision, "limitedvision.ogg"},
    {sound::kAnd, "new_and2.ogg"},
    {sound::kWallsImplode, "new_WallsImplode2.ogg"},
    {sound::kWallsExpand, "new_WallsExpand2.ogg"},
    {sound::kRandomDirection, "new_Randomdirection2.ogg"},
    {sound::kObstacles, "new_Obstacles2.ogg"},
    {sound::kInvaders, "new_Invaders2.ogg"},
    {sound::kDistraction, "new_Distraction2.ogg"},
    {sound::kShot, "shot.ogg"},
    {sound::kMiniExplode, "miniexplode.ogg"},
    {sound::kBallLost, "balllost.ogg"},
    {sound::kNoWay, "new_noway2.ogg"},
    {sound::kPaddleSlowdown, "new_paddleslowdown2.ogg"},
    {sound::kChaosBalls, "new_Chaosballs2.ogg"},
    {sound::kTransmutation, "new_Transmutation2.ogg"},
    {sound::kAutoRotation, "new_autorotation2.ogg"},
    {sound::kZoomZoomZoom, "new_zoomzoomzoom2.ogg"},
    {sound::kExtraWall, "new_extrawall2.ogg"},
    {sound::kCorridor, "new_corridor2.ogg"},
    {sound::kBlackHole, "new_blackhole2.ogg"},
    {sound::kBogusBalls, "new_bogusballs2.ogg"},
    {sound::kBreakout, "new_breakout2.ogg"},
    {sound::kSqueezeTime, "new_squeezetime2.ogg"},
    {sound::kStretchTime, "new_stretchtime2.ogg"},
    {sound::kDontRemember, "new_dontremember2.ogg"},
    {sound::kCows, "cows.ogg"},
    {sound::kChicken, "chicken.ogg"},
    {sound::kKromby, "kromby.ogg"},
    {sound::kModem, "modem.ogg"},
    {sound::kXenonLights, "new_XenonLights.ogg"},
    {sound::kInterfaceTerror, "new_InterfaceTerror.ogg"},
    {sound::kFeelTheBeat, "new_FeelTheBeat.ogg"},
};

void StartOnChannel(int id, int pan) {
  const int channel = nextChannel;
  TheSoundDevice().PlaySampleAt(channel, soundTable[id].load(std::memory_order_acquire), pan);
  nextChannel = channel >= sound::kEffectChannels - 1 ? 0 : channel + 1;
}

bool ThrottleAllows() {
  --soundThrottle;
  if (soundThrottle >= 0) return false;
  soundThrottle = 12;
  return true;
}

}  // namespace

const char* SoundFileName(int id) {
  switch (id) {
    case sound::kTitleMusic:
      return "rallointro.ogg";
    case sound::kBeatTrack:
      return "BPM180.ogg";
    case sound::kGameMusic:
      return "Fenwhit.ogg";
    case sound::kSelect:
      return "select.ogg";
    default:
      break;
  }
  for (const auto& entry : kLoaderOrder) {
    if (entry.id == id) return entry.file;
  }
  return nullptr;
}

void LoadSample(int id, const std::string& path) {
  soundTable[id].store(TheSoundDevice().LoadSample(id, path), std::memory_order_release);
}

void PlaySound(int id) { StartOnChannel(id, 128); }

void PlaySoundThrottled(int id) {
  if (ThrottleAllows()) StartOnChannel(id, 128);
}

void PlaySoundPanned(int id, int32_t x) {
  int32_t pan = RoundEven(x / 5.0);
  if (pan < 0) pan = 0;
  if (ThrottleAllows()) StartOnChannel(id, pan);
}

void PlayAnnouncement(int id) {
  TheSoundDevice().PlaySample(sound::kAnnouncementChannel,
                              soundTable[id].load(std::memory_order_acquire));
  TheSoundDevice().SetPan(sound::kAnnouncementChannel, 128);
}

void LowerSoundThrottle() { --soundThrottle; }
void SetSoundThrottle(int32_t value) { soundThrottle = value; }
int32_t SoundThrottle() { return soundThrottle; }
int32_t NextSoundChannel() { return nextChannel; }

void StartSoundLoader(const std::string& dataDirectory) {
  JoinSoundLoader();
  loaderThread = std::thread([dataDirectory] {
    for (const auto& entry : kLoaderOrder) LoadSample(entry.id, dataDirectory + entry.file);
  });
}

void JoinSoundLoader() {
  if (loaderThread.joinable()) loaderThread.join();
}

void ResetSoundBank() {
  JoinSoundLoader();
  for (auto& slot : soundTable) slot.store(0);
  nextChannel = 0;
  soundThrottle = 0;
}

}  // namespace fenwhit
