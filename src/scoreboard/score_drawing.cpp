#include "scoreboard/score_drawing.h"

#include <algorithm>
#include <string>

#include "game/game_state.h"
#include "scoreboard/scoreboard_platform.h"
#include "ui/overlay_text.h"

namespace fenwhit {

namespace {

constexpr int32_t kRightEdge = 1248;
constexpr float kBestScale = 0.75f;
constexpr float kRowScale = 0.46f;
constexpr double kFadeInSeconds = 1.0;

void DrawBestLine(const ScoreboardPlatform& scoreboard) {
  const auto& table = scoreboard.Tables().kinds[static_cast<int>(scoreboard.LastKind())];
  // The menu picture fades in; so does what stands beside its total.
  const int32_t brightness = std::clamp(game.fadeLevel, 0, 255);
  if (!table.empty()) {
    const std::string best = "BEST " + std::to_string(table.front().score);
    DrawNeonText(kRightEdge - TextWidth(best, kBestScale), 38, best, kBestScale, kNeonWhite,
                 brightness);
  }
  const std::string rank = RankTitle(scoreboard.LastRank());
  if (!rank.empty()) {
    DrawNeonText(kRightEdge - TextWidth(rank, kBestScale), 88, rank, kBestScale, kNeonPink,
                 brightness);
  }
}

// Right-aligned in a column of `width` characters.
std::string Column(std::string text, size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string Row(int rank, const ScoreEntry& entry) {
  std::string name = entry.name;
  name.resize(kMaxNameLength, ' ');
  const std::string seconds = std::to_string(entry.seconds % 60);
  const std::string time =
      std::to_string(entry.seconds / 60) + (seconds.size() < 2 ? ":0" : ":") + seconds;
  return Column(std::to_string(rank), 2) + Column(std::to_string(entry.score), 9) + "  " + name +
         Column(std::to_string(entry.events), 8) + Column(time, 7);
}

void DrawTable(int32_t x, const char* title, const std::vector<ScoreEntry>& entries,
               int32_t brightness) {
  DrawNeonText(x, 190, title, 0.75f, kNeonCyan, brightness);
  DrawNeonText(x, 250, "      SCORE  NAME          EVENTS   TIME", kRowScale, kNeonDim, brightness);
  if (entries.empty()) {
    DrawNeonText(x, 296, "NO GAMES YET", kRowScale, kNeonDim, brightness);
    return;
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    const Rgb colour = i == 0 ? kNeonPink : kNeonWhite;
    DrawNeonText(x, 296 + 36 * static_cast<int32_t>(i), Row(static_cast<int>(i) + 1, entries[i]),
                 kRowScale, colour, brightness);
  }
}

void DrawTables(const ScoreboardPlatform& scoreboard, double now) {
  const double shown = std::clamp((now - scoreboard.TablesShownAt()) / kFadeInSeconds, 0.0, 1.0);
  const int32_t brightness = static_cast<int32_t>(255 * shown);
  DimWindowAndCentrePicture(static_cast<int32_t>(235 * shown));
  DrawCentredNeonText(kPictureWidth / 2, 70, "BEST GAMES", 1.5f, kNeonPink, brightness);
  const ScoreTables& tables = scoreboard.Tables();
  DrawTable(40, "ONE PADDLE", tables.kinds[0], brightness);
  DrawTable(650, "TWO PADDLES", tables.kinds[1], brightness);
  DrawCentredNeonText(kPictureWidth / 2, 660, "PRESS ANY KEY", kRowScale, kNeonDim, brightness);
}

}  // namespace

void DrawMenuScores(const ScoreboardPlatform& scoreboard, double now) {
  if (!scoreboard.InMenu()) return;
  UseMenuLayout();
  if (scoreboard.TablesShownAt() >= 0.0) {
    DrawTables(scoreboard, now);
  } else {
    DrawBestLine(scoreboard);
  }
}

}  // namespace fenwhit
