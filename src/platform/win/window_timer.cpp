#include "platform/win/window_timer.h"

#include "platform/win/process_hardening.h"

namespace {

using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);

// Windows 7 has no SetCoalescableTimer, so it is looked up rather than
// imported.
SetCoalescableTimerFn CoalescableTimer() {
  static const auto function =
      AsFunction<SetCoalescableTimerFn>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetCoalescableTimer"));
  return function;
}

}  // namespace

void ArmWindowTimer(HWND window, UINT_PTR id, ULONGLONG delay, UINT tolerance) {
  UINT milliseconds = static_cast<UINT>(delay < USER_TIMER_MINIMUM   ? USER_TIMER_MINIMUM
                                        : delay > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM
                                                                     : delay);
  if (tolerance > 0 && CoalescableTimer())
    CoalescableTimer()(window, id, milliseconds, nullptr, tolerance);
  else
    SetTimer(window, id, milliseconds, nullptr);
}
