// The player's music chosen in the menu through the real program: a song dropped on the
// window is listened to with the progress shown, no game starts meanwhile, Esc gives up
// without leaving, Tab switches between the player's music and the game's own, what the
// player chose is remembered, and drops during a game change nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>

#include "audio/music.h"
#include "gfx/overlay_renderer.h"
#include "music_choice/music_choice_drawing.h"
#include "music_choice/music_choice_lines.h"
#include "music_choice/music_choice_platform.h"
#include "songs/chosen_songs.h"
#include "support/program_harness.h"
#include "support/text_drawn.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

namespace fs = std::filesystem;
using testing::ProgramHarness;
using testing::ScratchDir;
using testing::TextDrawn;

bool Shows(const std::vector<std::string>& lines, std::string_view words) {
  for (const std::string& line : lines) {
    if (line.find(words) != std::string::npos) return true;
  }
  return false;
}

// The worker listens in real time while the program runs on a virtual clock: frames that
// wait for it give it a moment.
void GiveTheWorkerAMoment() {
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

TEST(MusicChoice, DroppedListenedToHeldBackGivenUpSwitchedAndRemembered) {
  ProgramHarness harness(true);
  ScratchDir cache;
  const std::string song =
      (fs::path(FENWHIT_SOURCE_DIR) / "tests" / "songs" / "tempo_change_100_140.ogg").string();
  const std::string other =
      (fs::path(FENWHIT_SOURCE_DIR) / "tests" / "songs" / "straight_095.flac").string();
  ChosenSongs songs(cache.str(), 3);
  std::vector<std::pair<std::string, bool>> remembered;
  MusicChoicePlatform choice(harness.platform, songs, [&](const std::string& music, bool own) {
    remembered.emplace_back(music, own);
  });
  OverlayRenderer drawing(harness.renderer);
  drawing.AddOverlay([&] { DrawMusicChoice(choice); });
  menu.menuIndex = 0;

  enum class Step {
    kDrop,
    kHoldSpace,
    kEsc,
    kListenAgain,
    kReady,
    kOwn,
    kBack,
    kGame,
    kLeave
  } step = Step::kDrop;
  int stepFrames = 0;
  bool sawListeningDrawn = false;
  bool gameStartedWhileListening = false;
  bool listeningAfterEsc = true;
  bool nextShown = false;
  bool ownHinted = false;
  bool nextGoneWhileOwn = false;
  bool nextBack = false;
  int gameFrames = 0;
  const auto next = [&](Step to) {
    step = to;
    stepFrames = 0;
  };

  const int status = harness.Run(
      [&](TestPlatform& p, int) {
        p.ReleaseAll();
        const std::vector<std::string>& lines = choice.MenuLines();
        const bool listening = Shows(lines, "LISTENING");
        if (listening && TextDrawn(harness.renderer).find("LISTENING") != std::string::npos) {
          sawListeningDrawn = true;
        }
        harness.renderer.ClearCalls();
        ++stepFrames;
        switch (step) {
          case Step::kDrop:
            if (menu.menuFrames > 5) {
              p.Drop(song);
              next(Step::kHoldSpace);
            }
            return;
          case Step::kHoldSpace:
            // Space held for several frames while the song is listened to starts nothing.
            gameStartedWhileListening = gameStartedWhileListening || BeatThreadRunning();
            if (stepFrames > 1 && !listening) {
              ADD_FAILURE() << "the song was ready before Esc could give it up";
              next(Step::kLeave);
            } else if (stepFrames < 6) {
              p.Press(scan::kSpace);
            } else {
              next(Step::kEsc);
            }
            return;
          case Step::kEsc:
            if (stepFrames <= 5) {
              p.Press(scan::kEsc);
            } else {
              listeningAfterEsc = listening;
              ownHinted = Shows(lines, "TAB: YOUR MUSIC");
              next(Step::kListenAgain);
            }
            return;
          case Step::kListenAgain:
            if (stepFrames <= 3) p.Press(scan::kTab);
            if (stepFrames > 3) next(Step::kReady);
            return;
          case Step::kReady:
            GiveTheWorkerAMoment();
            if (Shows(lines, "NEXT: ")) {
              nextShown = true;
              next(Step::kOwn);
            }
            return;
          case Step::kOwn:
            if (stepFrames <= 3) p.Press(scan::kTab);
            if (stepFrames == 5) {
              nextGoneWhileOwn = !Shows(lines, "NEXT: ") && Shows(lines, "TAB: YOUR MUSIC");
              next(Step::kBack);
            }
            return;
          case Step::kBack:
            if (stepFrames <= 3) p.Press(scan::kTab);
            if (stepFrames == 5) {
              nextBack = Shows(lines, "NEXT: ");
              next(Step::kGame);
            }
            return;
          case Step::kGame:
            if (!BeatThreadRunning()) {
              if (gameFrames == 0) p.Press(scan::kSpace);
              if (gameFrames > 0) next(Step::kLeave);
              return;
            }
            // A drop during a game is let go.
            if (++gameFrames == 2) p.Drop(other);
            if (gameFrames > 20) p.Press(scan::kEsc);
            return;
          case Step::kLeave:
            if (stepFrames > 3) p.Press(scan::kEsc);
            return;
        }
      },
      choice, drawing);

  EXPECT_EQ(status, 0);
  EXPECT_EQ(step, Step::kLeave);
  EXPECT_TRUE(sawListeningDrawn);
  EXPECT_FALSE(gameStartedWhileListening);
  EXPECT_FALSE(listeningAfterEsc);
  EXPECT_TRUE(ownHinted);
  EXPECT_TRUE(nextShown);
  EXPECT_TRUE(nextGoneWhileOwn);
  EXPECT_TRUE(nextBack);
  EXPECT_GT(gameFrames, 20);
  EXPECT_EQ(songs.Path(), song);
  EXPECT_EQ(songs.Analyses(), 1);
  // The drop and each switch in the menu; giving up is for now only.
  EXPECT_EQ(remembered, (std::vector<std::pair<std::string, bool>>{
                            {song, false}, {song, false}, {song, true}, {song, false}}));
}

// A song that cannot play, chosen before the program starts: the menu names it for a few
// seconds from its first frame, and the game's own music stays.
TEST(MusicChoice, ASongThatCannotPlayIsNamedInTheMenuForAWhile) {
  ProgramHarness harness;
  ScratchDir dir;
  std::vector<uint8_t> damaged =
      testing::ReadFileBytes(fs::path(FENWHIT_SOURCE_DIR) / "tests" / "songs" / "swing_120.ogg");
  damaged.resize(3000);
  dir.WriteFile("My Song (live).ogg", damaged);
  ChosenSongs songs("", 5);
  ASSERT_TRUE(songs.Choose(dir.str() + "/My Song (live).ogg"));
  while (songs.ListeningForNextGame()) GiveTheWorkerAMoment();
  MusicChoicePlatform choice(harness.platform, songs, [](const std::string&, bool) {});

  double shownFrom = -1.0;
  double shownUntil = -1.0;
  std::string word;
  const int status = harness.Run(
      [&](TestPlatform& p, int) {
        p.ReleaseAll();
        if (menu.menuFrames == 0) return;
        for (const std::string& line : choice.MenuLines()) {
          if (line.rfind("CAN'T PLAY", 0) != 0) continue;
          word = line;
          if (shownFrom < 0) shownFrom = p.Now();
          shownUntil = p.Now();
        }
        if (shownFrom >= 0 && p.Now() - shownFrom > 10.0) p.Press(scan::kEsc);
      },
      choice, harness.renderer);

  EXPECT_EQ(status, 0);
  EXPECT_EQ(word, "CAN'T PLAY MY SONG [LIVE]: DAMAGED OR UNSUPPORTED");
  EXPECT_NEAR(shownUntil - shownFrom, MusicChoicePlatform::kTroubleSeconds, 0.1);
  EXPECT_EQ(songs.TakeSongForGame(), std::nullopt);
}

TEST(MusicChoice, WhatTheMenuSays) {
  ChosenSongsView view;
  EXPECT_EQ(MusicChoiceLines(view, false),
            (std::vector<std::string>{"DROP SONGS HERE TO PLAY TO THEM"}));
  view.chosen = true;
  view.listening = 0.437;
  EXPECT_EQ(MusicChoiceLines(view, false),
            (std::vector<std::string>{"LISTENING 43 %", "ESC GIVES UP", "TAB: THE GAME'S MUSIC"}));
  view.listening.reset();
  view.next = PreparedSong{"/m/x.ogg", "Blue (Remix)", "Ann & Bo", "", {120, true, {}}};
  view.troubleName = "broken";
  view.troubleWhy = "damaged";
  view.troubleSerial = 1;
  EXPECT_EQ(
      MusicChoiceLines(view, true),
      (std::vector<std::string>{"NEXT: BLUE [REMIX] - ANN & BO", "NO BEAT FOUND: A STEADY BEAT",
                                "CAN'T PLAY BROKEN: DAMAGED", "TAB: THE GAME'S MUSIC"}));
  view.troubleWhy = "no songs in the folder";
  EXPECT_EQ(MusicChoiceLines(view, true)[2], "CAN'T PLAY BROKEN: NO SONGS IN THE FOLDER");
  view.ownMusic = true;
  view.next.reset();
  EXPECT_EQ(MusicChoiceLines(view, false), (std::vector<std::string>{"TAB: YOUR MUSIC"}));

  EXPECT_EQ(WrapMenuLine("NEXT: A VERY LONG TITLE INDEED", 12, 3),
            (std::vector<std::string>{"NEXT: A VERY", "LONG TITLE", "INDEED"}));
  EXPECT_EQ(WrapMenuLine("NEXT: SONG - ARTIST", 13, 3),
            (std::vector<std::string>{"NEXT: SONG", "- ARTIST"}));
  EXPECT_EQ(WrapMenuLine("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 10, 2),
            (std::vector<std::string>{"ABCDEFGHIJ", "KLMNOPQRST"}));
}

}  // namespace
}  // namespace fenwhit
