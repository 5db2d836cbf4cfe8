// Counting a song's beats from its play position: exact counts over polled positions,
// late polls, and the joins where a song ends and the next begins.
#include "songs/song_beat_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace fenwhit {
namespace {

BeatTimes Beats(double tempo, std::vector<double> times) {
  BeatTimes beats;
  beats.tempo = tempo;
  beats.beats = std::move(times);
  return beats;
}

// The beat thread's view: polled every `step` seconds up to `until`, the position at
// which each beat was counted.
std::vector<double> Heard(SongBeatGrid& grid, double until, double step = 0.001) {
  std::vector<double> heard;
  for (int i = 0; i * step <= until; ++i) {
    const double position = i * step;
    for (int32_t n = grid.Advance(position); n > 0; --n) heard.push_back(position);
  }
  return heard;
}

void ExpectBeatsAt(const std::vector<double>& heard, const std::vector<double>& expected) {
  ASSERT_EQ(heard.size(), expected.size());
  for (size_t i = 0; i < heard.size(); ++i) EXPECT_NEAR(heard[i], expected[i], 0.0015) << i;
}

TEST(SongBeatGridTest, CountsEachBeatOnceAsThePositionPassesItAndLatePollsCatchUp) {
  SongBeatGrid grid(Beats(120, {0.25, 0.75, 1.25, 1.75, 2.25, 2.75, 3.25, 3.75}), 4.0);
  EXPECT_EQ(grid.Advance(0.0), 0);
  EXPECT_EQ(grid.Advance(0.2499), 0);
  EXPECT_EQ(grid.Advance(0.25), 1);  // on the beat counts
  EXPECT_EQ(grid.Advance(0.25), 0);  // and only once
  EXPECT_EQ(grid.Advance(0.74), 0);
  EXPECT_EQ(grid.Advance(2.30), 4);  // a poll that slept through four beats
  EXPECT_EQ(grid.Advance(1.00), 0);  // a position that steps back counts nothing
  EXPECT_EQ(grid.Advance(2.31), 0);  // nor again what was counted before it stepped back
  EXPECT_EQ(grid.Advance(std::numeric_limits<double>::quiet_NaN()), 0);
  // Far beyond the end: every loop of the song counts its eight beats.
  EXPECT_EQ(grid.Advance(4.0 * 10 + 0.3), 3 + 9 * 8 + 1);
}

TEST(SongBeatGridTest, ASongThatRepeatsGoesOnWithoutADoubleOrAGapAtTheJoin) {
  // The last beat at 2.0 and the song's end at 2.2: its first beat again, 0.2 s after the
  // last, is the same beat twice and is dropped; the grid goes on at 2.7.
  SongBeatGrid close(Beats(120, {0.0, 0.5, 1.0, 1.5, 2.0}), 2.2);
  ExpectBeatsAt(Heard(close, 4.5), {0.0, 0.5, 1.0, 1.5, 2.0, 2.7, 3.2, 3.7, 4.2});
  // A silent end of 1.5 s: filled at the song's pace up to its first beat again.
  SongBeatGrid gap(Beats(120, {0.5, 1.0, 1.5}), 3.0);
  ExpectBeatsAt(Heard(gap, 4.6), {0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5});
  // Beats a beat apart across the join are kept as they are.
  SongBeatGrid exact(Beats(120, {0.0, 0.5, 1.0, 1.5}), 2.0);
  ExpectBeatsAt(Heard(exact, 4.2), {0.0, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0});
}

TEST(SongBeatGridTest, TheNextSongsBeatsFollowOnAtItsOwnTempo) {
  SongBeatGrid grid(Beats(120, {0.0, 0.5, 1.0, 1.5}), 1.9);
  grid.FollowWith(Beats(150, {0.1, 0.5, 0.9, 1.3}), 1.6);
  // 1.9 + 0.1 = 2.0 is a beat after 1.5: kept. Without a further song the second one
  // repeats, its beats 0.4 s apart on either side of the join at 3.5.
  ExpectBeatsAt(Heard(grid, 4.5), {0.0, 0.5, 1.0, 1.5, 2.0, 2.4, 2.8, 3.2, 3.6, 4.0, 4.4});
}

TEST(SongBeatGridTest, SongsWithoutBeatsLengthOrSenseCountNothingAndNeverHang) {
  SongBeatGrid empty(BeatTimes{}, 3.0);
  EXPECT_EQ(empty.Advance(1e6), 0);
  SongBeatGrid endless(Beats(120, {0.5, 1.0}), 0.0);  // no length: the song never ends
  EXPECT_EQ(endless.Advance(1e6), 2);
  SongBeatGrid damaged(Beats(std::nan(""), {-1.0, 0.5, 0.4, std::nan(""), 0.9, 9.0}), 1.0);
  // Only the rising beats within the song count: 0.5 and 0.9, once a loop.
  EXPECT_EQ(damaged.Advance(2.95), 6);
  // A beatless song after one with beats is filled at the old pace, each time it repeats.
  SongBeatGrid toSilence(Beats(60, {0.0, 1.0}), 2.0);
  toSilence.FollowWith(BeatTimes{}, 3.0);
  ExpectBeatsAt(Heard(toSilence, 8.5), {0, 1, 2, 3, 4, 5, 6, 7, 8});
}

// The stream learns a song's true length only as it decodes its end; the join follows
// the truth, and the beats before it are not held back waiting for it.
TEST(SongBeatGridTest, TheJoinFollowsTheTrueLengthWhereTheDeclaredOneIsWrong) {
  // Declared 2.2 s, truly 2.0: the next song's first beat lands at 2.0, not 2.2.
  SongBeatGrid shorter(Beats(120, {0.0, 0.5, 1.0, 1.5}), 2.2);
  shorter.WaitForTrueLengths();
  shorter.FollowWith(Beats(120, {0.0, 0.5, 1.0}), 1.5);
  EXPECT_EQ(shorter.Advance(1.6), 4);
  shorter.EndSongAt(2.0);
  ExpectBeatsAt(Heard(shorter, 3.2), {2.0, 2.5, 3.0});
  EXPECT_EQ(shorter.SongIndex(), 1);
  // Declared 2.0 s, truly 3.0: the song plays on past 2.0 and its silence is filled until
  // the truth comes, then the next song starts at 3.0 with no double.
  SongBeatGrid longer(Beats(120, {0.0, 0.5, 1.0, 1.5}), 2.0);
  longer.WaitForTrueLengths();
  longer.FollowWith(Beats(120, {0.0, 0.5, 1.0}), 1.5);
  std::vector<double> heard = Heard(longer, 2.8);
  EXPECT_EQ(longer.SongIndex(), 0);  // not ended before the stream says so
  longer.EndSongAt(3.0);
  for (int i = 2801; i <= 4200; ++i) {
    for (int32_t n = longer.Advance(i / 1000.0); n > 0; --n) heard.push_back(i / 1000.0);
  }
  ExpectBeatsAt(heard, {0.0, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0});
  // A long silent end before the truth comes: its fills come on time.
  SongBeatGrid fade(Beats(60, {0.0, 1.0}), 6.0);
  fade.WaitForTrueLengths();
  ExpectBeatsAt(Heard(fade, 4.5), {0.0, 1.0, 2.0, 3.0, 4.0});
  // A song with no pace to fill at still waits for the truth before it starts again.
  SongBeatGrid paceless(Beats(0, {0.5}), 1.0);
  paceless.WaitForTrueLengths();
  EXPECT_EQ(paceless.Advance(1.5), 1);
  EXPECT_EQ(paceless.SongIndex(), 0);
  paceless.EndSongAt(2.0);
  EXPECT_EQ(paceless.Advance(2.6), 1);
  EXPECT_EQ(paceless.SongIndex(), 1);
}

}  // namespace
}  // namespace fenwhit
