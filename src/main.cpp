// Fenwhit: the program's entry. The command line is read before anything else starts.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/display.h"
#include "app/paths.h"
#include "app/program.h"
#include "audio/music.h"
#include "audio/silent_sound_device.h"
#include "audio/sound_output.h"
#include "autoplay/autopilot_platform.h"
#include "calibration/calibration_drawing.h"
#include "calibration/calibration_platform.h"
#include "calibration/flash_onset_log.h"
#include "common/calm_flashes.h"
#include "events/forced_events.h"
#include "feel/present_lead.h"
#include "gamepad/gamepad_platform.h"
#include "gfx/batch_renderer.h"
#include "gfx/gl_renderer.h"
#include "gfx/overlay_renderer.h"
#include "keep/background_writer.h"
#include "keep/player_name.h"
#include "keep/score_file.h"
#include "keep/settings.h"
#include "keep/xdg_folders.h"
#include "music_choice/first_choice.h"
#include "music_choice/music_choice_drawing.h"
#include "music_choice/music_choice_platform.h"
#include "netplay/net_game_drawing.h"
#include "netplay/net_game_platform.h"
#include "netplay/net_screen_drawing.h"
#include "netplay/net_screen_platform.h"
#include "options/options_drawing.h"
#include "options/options_platform.h"
#include "pause/pause_platform.h"
#include "pause/pause_screen.h"
#include "platform/sdl_platform.h"
#include "replay/replay_check.h"
#include "replay/replay_keeper.h"
#include "replay/replay_player.h"
#include "replay/replay_recorder.h"
#include "replay/replay_song.h"
#include "replay/replay_store.h"
#include "replay/shown_frame.h"
#include "replay/timedemo_platform.h"
#include "scoreboard/score_drawing.h"
#include "scoreboard/scoreboard_platform.h"
#include "settings/settings_platform.h"
#include "settings/volume_bar.h"
#include "songs/analyse_song.h"
#include "songs/chosen_songs.h"
#include "songs/song_game_music.h"

namespace {

int PrintScores() {
  fenwhit::ScoreFile scores(fenwhit::ScoresPath());
  scores.Load(std::cerr);
  std::cout << fenwhit::ScoresAsTsv(scores.Tables());
  std::cout.flush();
  return std::cout ? 0 : 1;
}

bool StartsFullscreen(const fenwhit::CommandLine& commandLine, const fenwhit::Settings& settings) {
  switch (commandLine.screen) {
    case fenwhit::CommandLine::Screen::kFullscreen:
      return true;
    case fenwhit::CommandLine::Screen::kWindow:
      return false;
    case fenwhit::CommandLine::Screen::kRemembered:
      break;
  }
  return settings.fullscreen;
}

// The replay --replay names: a file, or "best", the best kept game of either kind that this
// version can play.
std::optional<fenwhit::Replay> LoadReplayToWatch(const std::string& name) {
  using namespace fenwhit;
  std::string why;
  std::optional<Replay> replay;
  if (name == "best") {
    ScoreFile scores(ScoresPath());
    scores.Load(std::cerr);
    replay = ReadBestReplay(ReplayStore(ReplaysFolder()), ReplayTableFrom(scores.Tables()), why);
    if (!replay) std::fprintf(stderr, "fenwhit: %s\n", why.c_str());
  } else {
    replay = ReadPlayableReplay(name, why);
    if (!replay) std::fprintf(stderr, "fenwhit: %s: %s\n", name.c_str(), why.c_str());
  }
  return replay;
}

// The timedemo's frames to the file the player named; false when it cannot be written.
bool WriteTimedemoFrames(const fenwhit::TimedemoPlatform& timedemo, const std::string& path) {
  std::ofstream file(path, std::ios::trunc);
  timedemo.WriteFrames(file);
  file.close();
  return static_cast<bool>(file);
}

// Plays one replay through the program and says when it came out otherwise.
int PlayReplay(fenwhit::ReplayPlayer& player, fenwhit::Renderer& renderer,
               fenwhit::SoundDevice& sound, const fenwhit::ProgramOptions& options,
               const fenwhit::Replay& replay) {
  fenwhit::ReplayOutcome outcome;
  const int status = PlayRecordedGame(player, renderer, sound, options, replay, outcome);
  if (status == 0 && !outcome.matches) {
    std::fprintf(stderr, "fenwhit: the replay came out otherwise from frame %lld: %s\n",
                 static_cast<long long>(outcome.differsAt), outcome.difference.c_str());
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace fenwhit;
  const CommandLine commandLine = ParseCommandLine(argc, argv);
  if (commandLine.action == CommandLine::Action::kScores) return PrintScores();
  if (commandLine.action == CommandLine::Action::kAnalyse) {
    return PrintSongBeats(commandLine.analyse, std::cout, std::cerr);
  }
  ProgramOptions options;
  options.executableDirectory = ExecutableDirectory();
  if (commandLine.action == CommandLine::Action::kCheckReplays) {
    const int status = CheckReplayFiles(commandLine.checkReplays, options, std::cout, std::cerr);
    std::fflush(stdout);
    std::_Exit(status);
  }
  const bool replaying = commandLine.action == CommandLine::Action::kReplay;
  if (commandLine.action != CommandLine::Action::kPlay && !replaying) {
    return AnswerCommandLine(commandLine, std::cout, std::cerr);
  }
  std::optional<Replay> replay;
  if (replaying) {
    replay = LoadReplayToWatch(commandLine.replay);
    if (!replay) return 2;
  }
  // Large buffers (the software renderer's, the decoders') come and go with the busiest
  // scenes; with a fixed threshold they are mapped and given back, instead of the heap
  // keeping its high-water mark for the rest of the run.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);

  // What the player keeps is read before the window opens, so it opens as they left it.
  SettingsFile settingsFile(SettingsPath());
  const Settings settings = settingsFile.Load(std::cerr);
  calmFlashes = settings.calmFlashes;
  SetAvOffsetMs(settings.avOffsetMs.value_or(0));
  ScoreFile scores(ScoresPath());
  scores.Load(std::cerr);

  SdlPlatform sdl("Fenwhit", FENWHIT_APP_ID);
  // Without a display the game would run unseen: say so before anything is unpacked.
  if (!sdl.StartVideo()) {
    std::fprintf(stderr, "fenwhit: cannot start: %s\n", sdl.LastError().c_str());
    return 1;
  }
  sdl.SetFullscreen(StartsFullscreen(commandLine, settings));

  // The timedemo: the replay as fast as it can be drawn, without sound or anything else.
  if (replaying && commandLine.timedemo) {
    SilentSoundDevice silence;
    // What each frame showed is noted only when the frames are asked for.
    TimedemoPlatform timedemo(sdl, {},
                              commandLine.timedemoFrames.empty()
                                  ? TimedemoPlatform::Describe()
                                  : TimedemoPlatform::Describe(DescribeShownFrame));
    ReplayPlayer player(timedemo, ReplayPlayer::Mode::kWatch);
    // Drawn through the timedemo's platform, which notes each presented frame.
    std::unique_ptr<Renderer> drawing;
    if (commandLine.drawing == CommandLine::Drawing::kImmediate) {
      drawing = std::make_unique<GlRenderer>(timedemo);
    } else {
      drawing = std::make_unique<BatchRenderer>(timedemo);
    }
    int status = PlayReplay(player, *drawing, silence, options, *replay);
    timedemo.Report(std::cout);
    if (!commandLine.timedemoFrames.empty() &&
        !WriteTimedemoFrames(timedemo, commandLine.timedemoFrames)) {
      std::fprintf(stderr, "fenwhit: cannot write the frame times to %s\n",
                   commandLine.timedemoFrames.c_str());
      if (status == 0) status = 1;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
  }

  std::unique_ptr<SoundDevice> sound = OpenSoundOutput();
  // How long a frame takes to be shown, so beats are taken for the frame seen as they are
  // heard. Under everything that pumps events or draws.
  PresentLeadPlatform presentLead(sdl, SetPresentLeadMs);
  // When each beat's flash is presented, for measuring it against the sound from outside.
  const std::unique_ptr<FlashOnsetLog> flashLog = FlashOnsetLog::FromEnvironment(presentLead);
  BatchRenderer batch(flashLog ? static_cast<Platform&>(*flashLog) : presentLead);
  OverlayRenderer renderer(batch);

  // The platform the game sees, from the machine outwards: gamepads as keys, the player's
  // settings, the pause, the music choice, the best scores and then the recorder or, when asked
  // for, the autopilot. A replay takes the place of the best scores and what comes after. The
  // settings, the scores and the replays are written on a thread of their own; what it still has to
  // write lands before the program ends, however long the disk takes.
  BackgroundWriter writer;
  GamepadPlatform gamepads(presentLead);
  SettingsPlatform settingsPlatform(
      gamepads, *sound, settingsFile, writer, settings,
      {[] { return static_cast<int>(screenMode.index); }, [&sdl] { return sdl.Fullscreen(); }},
      std::cerr);
  auto drawVolumeBar = [&] { DrawVolumeBar(settingsPlatform, sdl.Clock()); };
  PauseScreen pauseScreen(renderer, drawVolumeBar);
  PausePlatform pause(
      settingsPlatform, *sound, [&pauseScreen] { pauseScreen.Show(); }, !commandLine.autoplay);
  renderer.AddOverlay(drawVolumeBar);
  options.screenMode = settings.screenMode;
  if (replaying) {
    // A game played to a song of the player's plays to it again, if it is still there.
    std::optional<ReplaySongMusic> songMusic;
    if (!replay->song.contentKey.empty()) {
      songMusic.emplace(replay->song, FindReplaySong(replay->song, settings.music), std::cerr);
      SetGameMusicChoice(&*songMusic);
    }
    ReplayPlayer player(pause, ReplayPlayer::Mode::kWatch);
    const int status = PlayReplay(player, renderer, *sound, options, *replay);
    writer.Drain();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
  }

  // The player's music: dropped in the menu, --music, or what they chose last time.
  ChosenSongs chosenSongs(BeatCacheFolder());
  StartWithMusic(chosenSongs, commandLine.music, settings, std::cerr);
  MusicChoicePlatform musicChoice(pause, chosenSongs,
                                  [&settingsPlatform](const std::string& music, bool ownMusic) {
                                    settingsPlatform.RememberMusic(music, ownMusic);
                                  });
  // Beneath the best-score tables, which darken the menu when they show: the music and the
  // options key at the menu's foot.
  renderer.AddOverlay([&] { DrawMusicChoice(musicChoice); });
  const OptionsPlatform* optionsKey = nullptr;
  renderer.AddOverlay([&optionsKey] {
    if (optionsKey) DrawOptionsKey(*optionsKey);
  });
  // Each game takes its song from the choice, and goes on to the choice's next when it ends.
  SongGameMusic songGameMusic(chosenSongs, *sound);
  SetGameMusicChoice(&songGameMusic);
  // A network game from the command line plays by itself only with the autopilot at its
  // paddle, and its score still counts: it is two people's game.
  const bool networkFromCommandLine = commandLine.network.has_value();
  ScoreboardPlatform scoreboard(musicChoice, scores, writer, PlayerName(),
                                !commandLine.autoplay || networkFromCommandLine, std::cerr);
  renderer.AddOverlay([&] { DrawMenuScores(scoreboard, pause.Clock()); });
  ReplayStore replays(ReplaysFolder());
  ReplayKeeper replayKeeper(replays, scores, writer, std::cerr);

  // The calibration of when the beat is heard, over the menu.
  CalibrationDrawing calibrationDrawing(renderer, drawVolumeBar);
  CalibrationPlatform calibration(
      scoreboard, *sound,
      {[] { return DataDirectory() + "BPM180.ogg"; },
       [&calibrationDrawing](const CalibrationView& view) { calibrationDrawing.Show(view); },
       [&settingsPlatform](int offsetMs) { settingsPlatform.RememberAvOffset(offsetMs); }});

  // The menu's network screen, and the network game outermost: in local games it passes
  // everything through to the recorder (or the autopilot); in a network game it reads the
  // player's own input from beneath the recorder, which must not see that game.
  NetScreenDrawing netScreenDrawing(renderer, drawVolumeBar);
  std::function<void(std::unique_ptr<NetSession>)> handOver;
  NetScreenPlatform netScreen(
      calibration, PlayerName(), settings.netAddress,
      {[&netScreenDrawing](const NetScreenView& view) { netScreenDrawing.Show(view); },
       [&handOver](std::unique_ptr<NetSession> session) { handOver(std::move(session)); },
       [&settingsPlatform](const std::string& address) {
         settingsPlatform.RememberNetAddress(address);
       }},
      std::cerr);
  // The options screen, over the menu as the network screen is, and opening it.
  OptionsDrawing optionsDrawing(renderer);
  OptionsPlatform optionsScreen(
      netScreen, settingsPlatform, musicChoice,
      {[&optionsDrawing](const OptionsView& view) { optionsDrawing.Show(view); },
       [&netScreen] { netScreen.OpenSoon(); }, [&calibration] { calibration.Open(); }});
  optionsKey = &optionsScreen;
  std::optional<AutopilotPlatform> autopilot;
  std::optional<ReplayRecorder> recorder;
  Platform* everyday = nullptr;
  if (commandLine.autoplay) {
    // Tests may name the events it meets; no game is recorded here, so no replay is wrong.
    if (!networkFromCommandLine) ForceEventsFromEnvironment();
    everyday = &autopilot.emplace(optionsScreen);
  } else {
    // The replay is named by the same calendar reading the table dates the game by.
    everyday = &recorder.emplace(
        optionsScreen, PlayerName(),
        [&replayKeeper](Replay&& game) { replayKeeper.Keep(std::move(game)); },
        [&scoreboard] { return scoreboard.GameStartTime(); });
  }
  NetGamePlatform::Hooks netHooks;
  netHooks.playerName = PlayerName();
  netHooks.keepReplay = [&replayKeeper](Replay&& game) { replayKeeper.Keep(std::move(game)); };
  netHooks.drawHeld = [&renderer](const std::string& notice) { ShowHeldGame(renderer, notice); };
  netHooks.nameNextScore = [&scoreboard](const std::string& name) {
    scoreboard.NameNextGame(name);
  };
  netHooks.pauseTitle = [&pauseScreen](const std::string& title) { pauseScreen.SetTitle(title); };
  netHooks.pause = &pause;
  netHooks.calendar = [&scoreboard] { return scoreboard.GameStartTime(); };
  netHooks.endAfterGame = networkFromCommandLine && commandLine.autoplay;
  Platform& local = autopilot ? static_cast<Platform&>(*autopilot) : optionsScreen;
  NetGamePlatform netGame(*everyday, local, std::move(netHooks), std::cerr);
  renderer.AddOverlay([&netGame] { DrawNetWord(netGame.MenuWord()); });
  handOver = [&](std::unique_ptr<NetSession> session) {
    const int delay = session->InputDelay();
    if (autopilot) {
      autopilot->SteerPaddle(session->Side() == LockstepSide::kHost ? 0 : 1, delay);
    }
    netGame.Begin(std::move(session), delay);
  };
  if (networkFromCommandLine) {
    // The autopilot leaves the menu to the network game it is waiting for.
    if (autopilot) {
      autopilot->SteerPaddle(commandLine.network->kind == NetRequest::Kind::kHost ? 0 : 1);
    }
    netScreen.OpenAtStart(*commandLine.network, true);
  }
  Platform* platform = &netGame;

  const int status = RunProgram(*platform, renderer, *sound, options);
  writer.Drain();
  // End at once, whatever other background thread still runs.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
