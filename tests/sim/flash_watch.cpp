#include "sim/flash_watch.h"

#include <algorithm>
#include <fstream>

#include "app/display.h"
#include "events/event_catalogue.h"
#include "game/game_state.h"

namespace fenwhit::sim {

namespace {

constexpr double kFramePeriod = 1.0 / 60;
constexpr int kFramesPerSecond = 60;

int At(const std::vector<int>& bySecond, size_t second) {
  return second < bySecond.size() ? bySecond[second] : 0;
}

}  // namespace

FlashWatch::FlashWatch()
    : window_("Fenwhit flashes"), presented_(window_, kFramePeriod), drawing_(presented_) {}

bool FlashWatch::Open() {
  window_.SetFitToDesktop(false);
  // A quarter of the game's size, scaled to fit as a small window is: flashes are judged
  // by the share of the screen that changes, and a sixteenth of the pixels draws fast.
  const ScreenModeRow& mode = kScreenModes[0];
  if (!window_.OpenWindow(mode.width / 4, mode.height / 4)) {
    std::printf("no OpenGL window for the flash count: %s\n", window_.LastError().c_str());
    return false;
  }
  return true;
}

void FlashWatch::NoteFrame(bool inGame) {
  const GameState& g = game;
  // An application ends the announcement: its title goes.
  const bool titled = inGame && !g.eventTitle.empty();
  const bool applied = titled_ && !titled && inGame && g.gameOver == 0;
  if (applied) lastApplied_ = titledEvent_;
  titled_ = titled;
  titledEvent_ = g.eventNumber;
  if (presented_.Frames() == 0) return;
  const auto second = static_cast<size_t>((presented_.Frames() - 1) / kFramesPerSecond);
  if (second >= moments_.size()) moments_.resize(second + 1);
  Moment& moment = moments_[second];
  moment.inGame = moment.inGame || inGame;
  moment.applied = moment.applied || applied;
  moment.event = lastApplied_;
  moment.eventCount = g.eventCount;
  moment.beatFlashes = moment.beatFlashes || (inGame && g.flashColours == 1);
}

int FlashWatch::WholeIn(size_t second) const {
  return At(presented_.Meter().Whole().MostBySecond(), second);
}

int FlashWatch::NinthIn(size_t second) const {
  int most = 0;
  for (const FlashCounter& area : presented_.Meter().Areas()) {
    most = std::max(most, At(area.MostBySecond(), second));
  }
  return most;
}

std::string FlashWatch::Describe(size_t second) const {
  if (second >= moments_.size()) return "-";
  const Moment& m = moments_[second];
  if (!m.inGame) return "menu";
  std::string text = "game, events " + std::to_string(m.eventCount) + ", last applied ";
  const EventEntry* entry = findEvent(m.event);
  text += entry != nullptr ? std::string(entry->title) : "none";
  if (m.applied) text += ", applied in this second";
  if (m.beatFlashes) text += ", beat flashes";
  return text;
}

void FlashWatch::Report() const {
  const size_t seconds = moments_.size();
  int whole = 0;
  int ninth = 0;
  for (size_t s = 0; s < seconds; ++s) {
    whole = std::max(whole, WholeIn(s));
    ninth = std::max(ninth, NinthIn(s));
  }
  std::printf("flashes: %lld frames; most in any second: %d whole frame, %d in a ninth\n",
              static_cast<long long>(presented_.Frames()), whole, ninth);
  int shown = 0;
  for (size_t s = 0; s < seconds && shown < 40; ++s) {
    if (std::max(WholeIn(s), NinthIn(s)) < 2) continue;
    ++shown;
    std::printf("  second %zu: %d whole, %d ninth: %s\n", s, WholeIn(s), NinthIn(s),
                Describe(s).c_str());
  }
}

bool FlashWatch::WriteSeconds(const std::string& path) const {
  std::ofstream out(path, std::ios::trunc);
  out << "second\twhole\tninth\tshowing\n";
  for (size_t s = 0; s < moments_.size(); ++s) {
    out << s << '\t' << WholeIn(s) << '\t' << NinthIn(s) << '\t' << Describe(s) << '\n';
  }
  out.close();
  return static_cast<bool>(out);
}

}  // namespace fenwhit::sim
