#pragma once
// The sound table, the background loading of the effects and the four ways of
// playing an effect.
#include <atomic>
#include <cstdint>
#include <string>

#include "audio/sound_device.h"
#include "audio/sound_ids.h"

namespace fenwhit {

// One handle per sound id; written by the loader thread, read by the main thread.
extern std::atomic<SoundHandle> soundTable[sound::kTableSize];

// File name of a sound id, or nullptr for ids that name no file.
const char* SoundFileName(int id);

void LoadSample(int id, const std::string& path);
// Next free effect channel, centre pan.
void PlaySound(int id);
// Plays only when the throttle, lowered by one here, falls below 0; it is then set to 12.
void PlaySoundThrottled(int id);
// As PlaySoundThrottled, panned by screen position: pan = round(x / 5), at least 0.
void PlaySoundPanned(int id, int32_t x);
// On the announcement channel, replacing the announcement that plays there.
void PlayAnnouncement(int id);

// The frame loop lowers the throttle once per frame; the ending sets it to -1.
void LowerSoundThrottle();
void SetSoundThrottle(int32_t value);
int32_t SoundThrottle();
int32_t NextSoundChannel();

// Loads the 42 effects in their fixed order on a thread of its own.
void StartSoundLoader(const std::string& dataDirectory);
// Waits for the loader thread, if one was started and not waited for yet.
void JoinSoundLoader();

// Back to the program-start state (empty table, channel 0, throttle 0). For tests.
void ResetSoundBank();

}  // namespace fenwhit
