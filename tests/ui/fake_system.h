#pragma once
// The notification area and the clock as the resident window meets them in
// the tests: the tray holds icons as Explorer would, can refuse adds and can
// forget everything (a restarted Explorer); time moves when a test moves it;
// sounds are recorded, not played, and a wait for one moves the clock;
// grants of read access to files are recorded, not made.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/resident_dlg.h"

namespace fake_system {

// Hooks for the window; everything starts afresh.
ResidentSystem Start();

extern ULONGLONG now;  // milliseconds
extern int refusals;   // the next so many calls of the tray fail
void ForgetIcons();

// The icon of `window` as the tray holds it; nullptr when it holds none.
const NOTIFYICONDATAA* Icon(HWND window);
// How often the window asked the tray to add its icon, and to show a balloon.
int AddsAsked();
int Balloons();

// Each sound started (PlaySound of a wave in memory), and each stop.
struct Played {
  std::string wave;
  DWORD flags;
};
extern std::vector<Played> played;
extern int stops;
extern std::function<void()> onPlay;  // called as each sound starts

// Each file that notifications were let read; a path holding "refused" is
// refused with ERROR_ACCESS_DENIED.
extern std::vector<std::string> grants;
DWORD ReadGrant(const char* path);

}  // namespace fake_system
