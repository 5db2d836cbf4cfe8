// The time from taking a frame's beats to showing it, measured on the frames as drawn.
#include "feel/present_lead.h"

#include <gtest/gtest.h>

#include "platform/test_platform.h"

namespace fenwhit {
namespace {

struct Frames {
  TestPlatform machine;
  int published = -1;
  PresentLeadPlatform lead{machine, [this](int ms) { published = ms; }};

  // A frame as the game runs one: events pumped and beats taken, the frame drawn for
  // `drawMs`, shown, then the rest of the period waited out.
  void Run(int drawMs, int periodMs = 16) {
    lead.PumpEvents();
    machine.SleepMs(drawMs);
    lead.SwapBuffers();
    machine.SleepMs(periodMs - drawMs);
  }
};

TEST(PresentLead, IsTheTimeToShowAFrameAndHalfAFrameAndStallsDoNotMoveIt) {
  Frames frames;
  frames.machine.SetClockStep(0);
  frames.lead.SwapBuffers();  // a swap before any pump (the intro) says nothing yet
  EXPECT_EQ(frames.published, -1);
  for (int i = 0; i < 40; ++i) frames.Run(10);
  EXPECT_EQ(frames.published, 18);
  EXPECT_EQ(frames.machine.Swaps(), 41);

  // A few slow frames, and a pause of seconds between a pump and the next swap.
  for (int i = 0; i < 5; ++i) frames.Run(60, 70);
  frames.lead.PumpEvents();
  frames.machine.SleepMs(5000);
  frames.lead.SwapBuffers();
  EXPECT_EQ(frames.published, 18);

  // A machine that slows for good is followed, up to what beats are counted ahead for.
  for (int i = 0; i < 40; ++i) frames.Run(30, 34);
  EXPECT_EQ(frames.published, 47);
  for (int i = 0; i < 40; ++i) frames.Run(150, 200);
  EXPECT_EQ(frames.published, 90);
}

}  // namespace
}  // namespace fenwhit
