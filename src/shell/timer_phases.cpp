#include "shell/timer_phases.h"

namespace {

constexpr TimerPhases::Millis kSecond = 1000;
constexpr TimerPhases::Millis kMinute = 60 * kSecond;

}  // namespace

void TimerPhases::StartBootWait(int seconds) {
  m_secondsLeft = seconds;
  m_phase = PhaseBootWait;
}

void TimerPhases::ArmAutoChange(int timerMinutes, Millis now) {
  if (timerMinutes > 0) {
    m_due = now + static_cast<Millis>(timerMinutes) * kMinute;
    m_phase = PhaseAutoChange;
  } else {
    m_phase = PhaseIdle;
  }
}

TimerPhases::Tick TimerPhases::OnTimer(int timerMinutes, Millis now) {
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
        ArmAutoChange(timerMinutes, now);
        tick.goResident = true;
      }
      break;
    case PhaseAutoChange:
      if (now >= m_due) {
        tick.reassign = true;
        ArmAutoChange(timerMinutes, now);
      }
      break;
    case PhaseIdle:
      break;
  }
  return tick;
}

TimerPhases::Tick TimerPhases::OnResume(int timerMinutes, Millis now) {
  return m_phase == PhaseAutoChange ? OnTimer(timerMinutes, now) : Tick();
}

TimerPhases::Millis TimerPhases::NextWake(Millis now) const {
  switch (m_phase) {
    case PhaseBootWait:
    case PhaseGoResident:
      return kSecond;
    case PhaseAutoChange:
      return m_due > now ? m_due - now : 0;
    case PhaseIdle:
      break;
  }
  return kNever;
}
