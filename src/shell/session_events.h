#pragma once
// The session's sounds that Windows 8 and later no longer play, as the
// resident window meets the session's events: a start at log-on, the
// unlock, and the end of the session as Windows documents it (the query
// answered at once, the sound played once the end is certain).

#include <windows.h>

#include "shell/session_player.h"
#include "store/settings_format.h"

class SessionEvents {
 public:
  explicit SessionEvents(SoundOutput output) : m_player(output) {}
  ~SessionEvents();
  SessionEvents(const SessionEvents&) = delete;
  SessionEvents& operator=(const SessionEvents&) = delete;

  // Registers `window` for the unlock where Windows plays no session sound
  // itself; the registration ends with Unwatch or the object.
  void Watch(HWND window);
  void Unwatch();

  // A start at log-on, once the settings are loaded: the log-on sound,
  // unless the start-up is to be silent.
  void OnLogonStart(const AppSettings& settings);
  void OnSessionChange(WPARAM change, const AppSettings& settings);

  // WM_QUERYENDSESSION, answered yes at once: when a sound is to play at
  // the end, Windows is told why the end will wait.
  void OnQueryEnd(HWND window, LPARAM reasons, const AppSettings& settings);
  // WM_ENDSESSION with TRUE, after the program's own end is done: the
  // log-off or shutdown sound, to its end but at most 4 seconds.
  void OnEnding(HWND window, LPARAM reasons, const AppSettings& settings);
  // WM_ENDSESSION with FALSE: the session goes on.
  void OnEndCancelled(HWND window);

 private:
  SessionPlayer m_player;
  HWND m_watched = nullptr;  // registered for the session's notifications
  bool m_blocking = false;   // a block reason is shown
};
