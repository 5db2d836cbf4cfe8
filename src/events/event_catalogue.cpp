#include "events/event_catalogue.h"

#include "audio/sound_ids.h"
#include "events/event_effects.h"

namespace fenwhit {

namespace {

constexpr EventEntry kNone{{}, kNoAnnouncement, nullptr};
constexpr EventEntry kAutoRotation{"AUTO-ROTATION", sound::kAutoRotation, effects::autoRotation};

// Indexed by event number; empty titles mark the numbers without an event of their own.
constexpr EventEntry kCatalogue[kLastEventNumber + 1] = {
    {"...........", kNoAnnouncement, nullptr},
    {"EXTRA BALL", sound::kExtraBall, effects::extraBall},
    {"PADDLE SIZE DOWN", sound::kPaddleShrink, effects::paddleSizeDown},
    {"BALLS SPEED UP", sound::kSpeedUp, effects::ballsSpeedUp},
    {"ROTATE ARENA", sound::kRotateArena, effects::rotateArena},
    {"3X GHOST BALLS", sound::kGhostBalls, effects::threeGhostBalls},
    {"WALLS EXPAND", sound::kWallsExpand, effects::wallsExpand},
    {"DISTRACTION", sound::kDistraction, effects::distraction},
    {"WALLS IMPLODE", sound::kWallsImplode, effects::wallsImplode},
    {"RANDOM DIRECTION", sound::kRandomDirection, effects::randomDirection},
    {"OBSTACLES", sound::kObstacles, effects::obstacles},
    {"INVADERS", sound::kInvaders, effects::invaders},
    {"3X EXTRA BALLS", sound::kExtraBall, effects::threeExtraBalls},
    {"SLOW PADDLE", sound::kPaddleSlowdown, effects::slowPaddle},
    {"CHAOS BALLS", sound::kChaosBalls, effects::chaosBalls},
    {"TRANSMUTATION", sound::kTransmutation, effects::transmutation},
    kAutoRotation,
    {"ZOOM ZOOM ZOOM", sound::kZoomZoomZoom, effects::zoomZoomZoom},
    {"EXTRA.... WALL?", sound::kExtraWall, effects::extraWall},
    {"CORRIDOR", sound::kCorridor, effects::corridor},
    {"BLACKHOLE", sound::kBlackHole, effects::blackHole},
    {"10X BOGUS BALLS", sound::kBogusBalls, effects::tenBogusBalls},
    {"BREAKOUT", sound::kBreakout, effects::breakout},
    {"SQUEEZE TIME", sound::kSqueezeTime, effects::squeezeTime},
    {"STRETCH TIME", sound::kStretchTime, effects::stretchTime},
    {"I DON'T REMEMBER", sound::kDontRemember, nullptr},
    {"HAVE A BREAK", kNoAnnouncement, nullptr},
    {"CRAPPY COMPUTER", sound::kModem, effects::crappyComputer},
    {"GAMELOOP CRASH", kNoAnnouncement, effects::gameloopCrash},
    {"MOOING COWS", sound::kCows, effects::mooingCows},
    {"CHICKENS", sound::kChicken, effects::chickens},
    {"KROMBY", sound::kKromby, effects::kromby},
    {"WELL HI THERE", kNoAnnouncement, nullptr},
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    {"BIGGER BALLS", kNoAnnouncement, effects::biggerBalls},
    {"FEEL THE BEAT", sound::kFeelTheBeat, effects::feelTheBeat},
    {"XENON LIGHTS", sound::kXenonLights, effects::xenonLights},
    {"INTERFACE TERROR", sound::kInterfaceTerror, effects::interfaceTerror},
    {"50X BOGUS BALLS", sound::kBogusBalls, effects::fiftyBogusBalls},
    {"50X GHOST BALLS", sound::kGhostBalls, effects::fiftyGhostBalls},
    {"!! ARENA EXPAND !!", sound::kWallsExpand, effects::arenaExpand},
    kAutoRotation,
    kAutoRotation,
};

}  // namespace

const EventEntry* findEvent(int32_t number) {
  if (number < 0 || number > kLastEventNumber) return nullptr;
  const EventEntry& entry = kCatalogue[number];
  return entry.title.empty() ? nullptr : &entry;
}

}  // namespace fenwhit
