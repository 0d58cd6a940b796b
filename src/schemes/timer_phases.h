#pragma once
// What the one-second timer of the status window does, tick by tick: the
// start-up wait counted down, the window hidden one tick after it ends, and
// the periodic change every `Timer` minutes. The window acts on what each
// tick asks for; everything here is counted in ticks, not measured.

class TimerPhases {
 public:
  enum Phase { PhaseIdle, PhaseBootWait, PhaseGoResident, PhaseAutoChange };

  // What one tick asks of the window, in this order.
  struct Tick {
    bool showCountdown = false;  // "waiting: N seconds left", N = countdown
    int countdown = 0;
    bool waitEnded = false;   // reassign if the options say so; "going resident"
    bool goResident = false;  // hide the window and add the tray icon
    bool reassign = false;    // the periodic change is due
  };

  Phase phase() const { return m_phase; }
  int secondsLeft() const { return m_secondsLeft; }

  // The start-up wait of `seconds`; at or below 0 it ends on the first tick.
  void StartBootWait(int seconds);
  // Counts `timerMinutes` down, or stops when it is 0 or less.
  void ArmAutoChange(int timerMinutes);
  void Stop() { m_phase = PhaseIdle; }

  // One tick; `timerMinutes` arms the periodic change when it comes due.
  Tick OnTick(int timerMinutes);

 private:
  Phase m_phase = PhaseIdle;
  int m_secondsLeft = 0;
};
