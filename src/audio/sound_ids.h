#pragma once
// Sound ids (the slots of the sound table) and the fixed channels.

namespace fenwhit::sound {

constexpr int kBallWall = 1;
constexpr int kTitleMusic = 9;
constexpr int kBeatTrack = 10;
constexpr int kExplosion = 11;
constexpr int kGameMusic = 12;
constexpr int kNewEvent = 14;
constexpr int kExtraBall = 15;
constexpr int kPaddleShrink = 16;
constexpr int kPaddleExpand = 17;
constexpr int kSpeedUp = 18;
constexpr int kRotateArena = 19;
constexpr int kGhostBalls = 20;
constexpr int kArenaChange = 21;
constexpr int kLimitedVision = 22;
constexpr int kAnd = 23;
constexpr int kWallsImplode = 24;
constexpr int kWallsExpand = 25;
constexpr int kRandomDirection = 26;
constexpr int kObstacles = 27;
constexpr int kInvaders = 28;
constexpr int kDistraction = 29;
constexpr int kShot = 30;
constexpr int kMiniExplode = 31;
constexpr int kBallLost = 32;
constexpr int kNoWay = 33;
constexpr int kPaddleSlowdown = 34;
constexpr int kChaosBalls = 35;
constexpr int kTransmutation = 36;
constexpr int kAutoRotation = 37;
constexpr int kZoomZoomZoom = 38;
constexpr int kExtraWall = 39;
constexpr int kCorridor = 40;
constexpr int kBlackHole = 41;
constexpr int kBogusBalls = 42;
constexpr int kSelect = 43;
constexpr int kBreakout = 44;
constexpr int kSqueezeTime = 45;
constexpr int kStretchTime = 46;
constexpr int kDontRemember = 47;
constexpr int kCows = 48;
constexpr int kChicken = 49;
constexpr int kKromby = 50;
constexpr int kModem = 51;
constexpr int kXenonLights = 52;
constexpr int kInterfaceTerror = 53;
constexpr int kFeelTheBeat = 54;

constexpr int kTableSize = 55;

// Effects rotate through channels 0..63; the rest are fixed.
constexpr int kEffectChannels = 64;
constexpr int kBeatChannel = 65;
constexpr int kGameMusicChannel = 66;
constexpr int kTitleMusicChannel = 67;
constexpr int kAnnouncementChannel = 70;
constexpr int kChannelCount = 71;

}  // namespace fenwhit::sound
