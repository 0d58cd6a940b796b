#include <gtest/gtest.h>

#include <climits>

#include "shell/timer_phases.h"

namespace {

using Millis = TimerPhases::Millis;
constexpr Millis kMinute = 60000;

// The steps of one start-up, a second apart from `now`: each step's
// countdown (or -1 when none is shown), until the window goes to the tray.
std::vector<int> StartUp(TimerPhases& phases, int wait, int timer, Millis& now) {
  std::vector<int> countdowns;
  phases.StartBootWait(wait);
  for (int step = 0; step < 1000; ++step) {
    EXPECT_EQ(1000u, phases.NextWake(now));  // a second a step while the window counts
    now += 1000;
    TimerPhases::Tick t = phases.OnTimer(timer, now);
    countdowns.push_back(t.showCountdown ? t.countdown : -1);
    EXPECT_EQ(t.waitEnded, phases.phase() == TimerPhases::PhaseGoResident && !t.goResident);
    if (t.goResident) break;
  }
  return countdowns;
}

}  // namespace

TEST(TimerPhases, WaitCountsDownThenHidesOneSecondLaterThenSleeps) {
  TimerPhases phases;
  Millis now = 5000;
  EXPECT_EQ((std::vector<int>{2, 1, 0, -1}), StartUp(phases, 2, 0, now));
  EXPECT_EQ(TimerPhases::kNever, phases.NextWake(now));  // Timer 0: nothing more to wake for
  EXPECT_FALSE(phases.OnTimer(0, now + 10 * kMinute).reassign);

  EXPECT_EQ((std::vector<int>{0, -1}), StartUp(phases, 0, 2, now));
  EXPECT_EQ(2 * kMinute, phases.NextWake(now));
}

// Any wait at or below 0 ends on the first step, shown with its sign; the
// lowest int must not wrap round to the highest.
TEST(TimerPhases, WaitAtOrBelowZeroEndsOnTheFirstStep) {
  for (int wait : {-3, INT_MIN}) {
    TimerPhases phases;
    Millis now = 0;
    EXPECT_EQ((std::vector<int>{wait, -1}), StartUp(phases, wait, 0, now)) << wait;
  }
}

// The change comes when the clock says so, not after a count of firings: a
// timer that fires early changes nothing and is armed for the rest; one
// that fires late changes once, and the next period starts from then.
TEST(TimerPhases, PeriodicChangeIsDueByTheClockUntilStopped) {
  TimerPhases phases;
  phases.ArmAutoChange(1, 0);
  EXPECT_EQ(kMinute, phases.NextWake(0));
  EXPECT_FALSE(phases.OnTimer(1, 59990).reassign);
  EXPECT_EQ(10u, phases.NextWake(59990));
  EXPECT_TRUE(phases.OnTimer(1, 60500).reassign);
  EXPECT_EQ(kMinute, phases.NextWake(60500));
  EXPECT_FALSE(phases.OnTimer(1, 60600).reassign);  // a second firing of the same moment

  phases.Stop();
  EXPECT_EQ(TimerPhases::kNever, phases.NextWake(60600));
  EXPECT_FALSE(phases.OnTimer(1, 10 * kMinute).reassign);

  phases.ArmAutoChange(-5, 0);
  EXPECT_EQ(TimerPhases::kNever, phases.NextWake(0));
  phases.ArmAutoChange(INT_MAX, 0);  // far beyond any window timer: still counted right
  EXPECT_EQ(Millis{INT_MAX} * kMinute, phases.NextWake(0));
}

// A change that fell due while the machine slept comes once on waking, however
// many periods passed; the period starts again from the waking.
TEST(TimerPhases, ChangeDueDuringSleepComesOnceOnWaking) {
  TimerPhases phases;
  phases.ArmAutoChange(10, 0);
  EXPECT_FALSE(phases.OnResume(10, 5 * kMinute).reassign);  // a short sleep: not yet due
  Millis woke = 95 * kMinute;
  EXPECT_TRUE(phases.OnResume(10, woke).reassign);
  EXPECT_FALSE(phases.OnTimer(10, woke).reassign);
  EXPECT_EQ(10 * kMinute, phases.NextWake(woke));

  phases.StartBootWait(5);  // waking during the start-up wait does not count a second
  EXPECT_FALSE(phases.OnResume(10, woke).showCountdown);
}
