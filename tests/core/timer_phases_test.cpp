#include <gtest/gtest.h>

#include <climits>

#include "schemes/timer_phases.h"

namespace {

using Phase = TimerPhases::Phase;

// The ticks of one start-up: each tick's countdown (or -1 when none is
// shown), until the window goes to the tray.
std::vector<int> StartUp(TimerPhases& phases, int wait, int timer) {
  std::vector<int> countdowns;
  phases.StartBootWait(wait);
  for (int tick = 0; tick < 1000; ++tick) {
    TimerPhases::Tick t = phases.OnTick(timer);
    countdowns.push_back(t.showCountdown ? t.countdown : -1);
    EXPECT_EQ(t.waitEnded, phases.phase() == TimerPhases::PhaseGoResident && !t.goResident);
    if (t.goResident) break;
  }
  return countdowns;
}

}  // namespace

TEST(TimerPhases, WaitCountsDownThenHidesOneTickLater) {
  TimerPhases phases;
  EXPECT_EQ((std::vector<int>{2, 1, 0, -1}), StartUp(phases, 2, 0));
  EXPECT_EQ(TimerPhases::PhaseIdle, phases.phase());  // Timer 0: nothing more to count
  EXPECT_FALSE(phases.OnTick(0).reassign);

  EXPECT_EQ((std::vector<int>{0, -1}), StartUp(phases, 0, 2));
  EXPECT_EQ(TimerPhases::PhaseAutoChange, phases.phase());
  EXPECT_EQ(120, phases.secondsLeft());
}

// Any wait at or below 0 ends on the first tick, shown with its sign; the
// lowest int must not wrap round to the highest.
TEST(TimerPhases, WaitAtOrBelowZeroEndsOnTheFirstTick) {
  for (int wait : {-3, INT_MIN}) {
    TimerPhases phases;
    EXPECT_EQ((std::vector<int>{wait, -1}), StartUp(phases, wait, 0)) << wait;
  }
}

TEST(TimerPhases, PeriodicChangeEveryTimerMinutesUntilStopped) {
  TimerPhases phases;
  phases.ArmAutoChange(1);
  for (int round = 0; round < 2; ++round) {
    for (int tick = 1; tick < 60; ++tick) EXPECT_FALSE(phases.OnTick(1).reassign);
    EXPECT_TRUE(phases.OnTick(1).reassign);
    EXPECT_EQ(60, phases.secondsLeft());
  }
  phases.OnTick(1);
  phases.Stop();
  for (int tick = 0; tick < 120; ++tick) EXPECT_FALSE(phases.OnTick(1).reassign);

  phases.ArmAutoChange(-5);
  EXPECT_EQ(TimerPhases::PhaseIdle, phases.phase());
  phases.ArmAutoChange(40000000);  // more seconds than an int holds: clamped, not wrapped
  EXPECT_EQ(INT_MAX, phases.secondsLeft());
}
