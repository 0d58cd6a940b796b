#include "schemes/timer_phases.h"

#include <climits>

void TimerPhases::StartBootWait(int seconds) {
  m_secondsLeft = seconds;
  m_phase = PhaseBootWait;
}

// `Timer` minutes in ticks, clamped rather than wrapped for intervals no
// int can count in seconds.
void TimerPhases::ArmAutoChange(int timerMinutes) {
  if (timerMinutes > 0) {
    m_secondsLeft = timerMinutes > INT_MAX / 60 ? INT_MAX : timerMinutes * 60;
    m_phase = PhaseAutoChange;
  } else {
    m_phase = PhaseIdle;
  }
}

TimerPhases::Tick TimerPhases::OnTick(int timerMinutes) {
  Tick tick;
  switch (m_phase) {
    case PhaseBootWait:
      tick.showCountdown = true;
      tick.countdown = m_secondsLeft;
      // Any wait at or below 0 ends now: the count must not wrap from INT_MIN.
      m_secondsLeft = m_secondsLeft > 0 ? m_secondsLeft - 1 : -1;
      if (m_secondsLeft < 0) {
        tick.waitEnded = true;
        m_secondsLeft = 1;
        m_phase = PhaseGoResident;
      }
      break;
    case PhaseGoResident:
      if (--m_secondsLeft <= 0) {
        ArmAutoChange(timerMinutes);
        tick.goResident = true;
      }
      break;
    case PhaseAutoChange:
      if (--m_secondsLeft <= 0) {
        tick.reassign = true;
        ArmAutoChange(timerMinutes);
      }
      break;
    case PhaseIdle:
      break;
  }
  return tick;
}
