#pragma once
// The title music, the game music and the beat track, their volume steps, and the
// beat thread that turns every loop of the beat track into a beat.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/sound_device.h"

namespace fenwhit {

// Shared between the main thread and the beat thread; relaxed ordering suffices.
extern std::atomic<int32_t> menuVolume;
extern std::atomic<int32_t> musicVolume;
// The game's beat and the flash it lights: the frame loop's own, moved on once a frame by
// the beats it takes (TakeBeats), so every look at them within a frame agrees.
extern std::atomic<int32_t> beatCount;
extern std::atomic<int32_t> beatFlash;
// Beats the beat thread counted that no frame has taken yet. Where the output has a
// latency, a beat joins them only once heard (TakeBeatThreadBeats adds those due).
extern std::atomic<int32_t> beatsCounted;
extern std::atomic<int32_t> beatStopRequest;

// Where the frame loop takes its beats from: the beat thread by default; a replay gives
// back the beats each frame of a recorded game took.
class BeatSource {
 public:
  virtual ~BeatSource() = default;
  virtual int32_t TakeBeats() = 0;
};
// nullptr: the beat thread.
void SetBeatSource(BeatSource* source);
// The source set now (nullptr: the beat thread), so one that takes over for a while can
// give it back.
BeatSource* CurrentBeatSource();
// The beats counted since the last call, from the current source.
int32_t TakeBeats();
// The beats the beat thread counted since the last take that have reached the speaker
// by now (the output's latency plus the player's offset after their mix), whatever the
// source.
int32_t TakeBeatThreadBeats();
// Game start: the last game's beats, counted or still on their way, are dropped.
void ForgetCountedBeats();
// The game pauses and goes on: its sound stands still meanwhile, so the beats on their way
// to the speaker are not heard during the pause and come as much later as it lasted.
void HoldHeardBeats();
void ReleaseHeardBeats();
// The player's offset in milliseconds (-300 to 300; more is held at the limit): how much
// later than the output's latency says a beat is heard. Taken as each game starts.
void SetAvOffsetMs(int offsetMs);
// The offset set last.
int AvOffsetMs();
// How long a frame takes from taking its beats to being shown: beats heard within that
// time (and half a frame, to round to the nearest frame) are taken early, so the frame
// that shows them is seen as they are heard. 0 (the default) takes them as heard.
void SetPresentLeadMs(int leadMs);

void FadeTitleMusicDown();
void FadeTitleMusicUp();
void FadeGameMusicDown();
void FadeGameMusicUp();
void DuckGameMusic();
void RaiseGameMusic();

// Start-up: open the title music; later start it almost silent.
void OpenTitleMusic(const std::string& path);
void StartTitleMusic();

// Game start: stop the game-music channel, open the beat track and the game music,
// set the music volume to 1 and start the beat thread.
void StartGameMusic(const std::string& beatPath, const std::string& musicPath);
struct CountedBeats {
  int32_t beats = 0;
  double startInSeconds = 0.0;  // how far off the last of them is; negative: passed
};
// What the beat thread counts instead of the beat track's loops when the game plays to a
// song of the player's: the beats of that song as it plays.
class BeatCounter {
 public:
  virtual ~BeatCounter() = default;
  // The beats passed since the previous call.
  virtual int32_t Count() = 0;
  // The beats passed and those coming within `aheadSeconds`, so that the frame which shows
  // a beat can be drawn while its sound is on the way. A counter that cannot see ahead
  // counts those passed.
  virtual CountedBeats CountAhead(double /*aheadSeconds*/) { return {Count(), 0.0}; }
};
// Game start with a song of the player's: as StartGameMusic, but `song` (an open stream,
// closed by CloseGameMusic) is the game music and `counter` says when the beats come.
void StartSongGameMusic(SoundHandle song, std::unique_ptr<BeatCounter> counter);

// What a game plays to instead of its own music and beat track, asked as each game starts.
class GameMusicChoice {
 public:
  virtual ~GameMusicChoice() = default;
  // Starts the game music (through StartSongGameMusic) and returns true, or returns false
  // for the game's own music and beat track.
  virtual bool StartGameMusic() = 0;
  // The game that started with this choice's music has closed it.
  virtual void GameMusicClosed() {}
};
// nullptr (the default): every game plays to its own music.
void SetGameMusicChoice(GameMusicChoice* choice);
// Game start: the choice's music if it starts one, else StartGameMusic(beatPath, musicPath).
void StartChosenGameMusic(const std::string& beatPath, const std::string& musicPath);

// The song of the player's that the current (or last) game started with, as its replay
// keeps it. An empty contentKey: the game's own music.
struct GameSong {
  std::string title;       // as the menu shows it: the tags' title, else the file name
  std::string contentKey;  // the hash of the song file's whole content
  std::string path;        // where the game played it from
  bool operator==(const GameSong&) const = default;
};
// Set by whoever starts a song for a game (after StartChosenGameMusic has cleared it).
void SetGameSong(GameSong song);
GameSong CurrentGameSong();

// The last ball is lost: the beat track stops; the beat thread keeps polling.
void StopBeatTrack();
// Game end, first half: ask the beat thread to stop and give it 100 ms to do so.
void RequestBeatStop();
// Game end, second half: stop and close the game music.
void CloseGameMusic();

// The beat thread's body (exposed so tests can run it on a thread of their own).
void RunBeatThread();
// The beat thread's body while a song of the player's plays.
void RunSongBeatThread(BeatCounter& counter);
// How the beat thread waits between its looks at the beat track: real milliseconds
// unless replaced (a simulation on a virtual clock replaces it; nullptr restores).
using BeatSleep = void (*)(int milliseconds);
void SetBeatSleep(BeatSleep sleep);
// The milliseconds clock by which counted beats become heard: the steady clock unless
// replaced (nullptr restores).
using BeatClock = int64_t (*)();
void SetBeatClock(BeatClock clock);
// True while a beat thread started by StartGameMusic has not been waited for.
bool BeatThreadRunning();

}  // namespace fenwhit
