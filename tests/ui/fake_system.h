#pragma once
// The notification area and the clock as the resident window meets them in
// the tests: the tray holds icons as Explorer would, can refuse adds and can
// forget everything (a restarted Explorer); time moves when a test moves it.

#include <windows.h>
#include <shellapi.h>

#include "shell/resident_dlg.h"

namespace fake_system {

// Hooks for the window; everything starts afresh.
ResidentSystem Start();

extern ULONGLONG now;  // milliseconds
extern int refusals;   // the next so many calls of the tray fail
void ForgetIcons();

// The icon of `window` as the tray holds it; nullptr when it holds none.
const NOTIFYICONDATAA* Icon(HWND window);
// How often the window asked the tray to add its icon.
int AddsAsked();

}  // namespace fake_system
