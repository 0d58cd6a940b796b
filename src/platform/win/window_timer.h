#pragma once
// Window timers armed for what is due, not for a steady beat.

#include <windows.h>

// Arms timer `id` of `window` to fire once `delay` ms have passed (it
// repeats until armed again or killed). With a `tolerance`, Windows 8 and
// later may fire it up to that many ms late, together with other timers,
// so that the machine wakes less often; elsewhere it is a plain SetTimer.
// A delay longer than a window timer can hold fires early at that limit:
// the caller checks its clock and arms again.
void ArmWindowTimer(HWND window, UINT_PTR id, ULONGLONG delay, UINT tolerance = 0);
