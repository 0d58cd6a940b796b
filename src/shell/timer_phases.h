#pragma once
// When the status window's timer must fire, and what each firing asks of
// the window: the start-up wait counted down second by second while the
// window shows it, the window hidden one second after the wait ends, and
// the periodic change, due every `Timer` minutes by the clock. In between
// the window sleeps: with no periodic change there is nothing to wake for.

#include <cstdint>

class TimerPhases {
 public:
  // Milliseconds of a clock that goes on counting while the machine sleeps.
  using Millis = std::uint64_t;
  static constexpr Millis kNever = ~Millis{0};

  enum Phase { PhaseIdle, PhaseBootWait, PhaseGoResident, PhaseAutoChange };

  // What one firing asks of the window, in this order.
  struct Tick {
    bool showCountdown = false;  // "waiting: N seconds left", N = countdown
    int countdown = 0;
    bool waitEnded = false;   // reassign if the options say so; "going resident"
    bool goResident = false;  // hide the window and add the tray icon
    bool reassign = false;    // the periodic change is due
  };

  Phase phase() const { return m_phase; }

  // The start-up wait of `seconds`, one step a second; at or below 0 it
  // ends on the first step.
  void StartBootWait(int seconds);
  // The periodic change `timerMinutes` from `now`, or none when it is 0 or
  // less.
  void ArmAutoChange(int timerMinutes, Millis now);
  void Stop() { m_phase = PhaseIdle; }

  // The timer fired at `now`. A periodic change comes only once its time
  // has come, however early or late the timer was; the next one is due a
  // full period after it.
  Tick OnTimer(int timerMinutes, Millis now);
  // The machine woke at `now`: a change that fell due during the sleep
  // comes now, once.
  Tick OnResume(int timerMinutes, Millis now);

  // How long after `now` the timer must fire next; kNever when nothing is
  // armed.
  Millis NextWake(Millis now) const;

 private:
  Phase m_phase = PhaseIdle;
  int m_secondsLeft = 0;  // steps of the start-up wait and of going resident
  Millis m_due = 0;       // the periodic change
};
