#include "shell/session_events.h"

#include <wtsapi32.h>

#include "platform/ansi_text_win32.h"
#include "platform/win/process_hardening.h"
#include "platform/win/resources.h"
#include "platform/win/windows_version.h"
#include "res/resource.h"

namespace {

constexpr DWORD kMostEndOfSessionSound = 4000;

bool Wanted(const AppSettings& settings) { return settings.SessionSounds != 0 && !WindowsPlaysSessionSounds(); }

// The Restart Manager closing applications for an update is neither a
// log-off nor a shutdown; a critical end leaves no time.
bool EndPlaysSound(LPARAM reasons, const AppSettings& settings) {
  if (reasons & ENDSESSION_CRITICAL) return false;
  if ((reasons & ENDSESSION_CLOSEAPP) && !(reasons & ENDSESSION_LOGOFF)) return false;
  return Wanted(settings);
}

// wtsapi32 is no KnownDLL: taken from the system folder.
template <class Function>
Function WtsFunction(const char* name) {
  return AsFunction<Function>(SystemExport(L"wtsapi32.dll", name));
}

}  // namespace

SessionEvents::~SessionEvents() { Unwatch(); }

void SessionEvents::Watch(HWND window) {
  if (m_watched || WindowsPlaysSessionSounds()) return;
  static const auto registerNotification =
      WtsFunction<decltype(&WTSRegisterSessionNotification)>("WTSRegisterSessionNotification");
  if (registerNotification && registerNotification(window, NOTIFY_FOR_THIS_SESSION)) m_watched = window;
}

void SessionEvents::Unwatch() {
  static const auto unregisterNotification =
      WtsFunction<decltype(&WTSUnRegisterSessionNotification)>("WTSUnRegisterSessionNotification");
  if (m_watched && unregisterNotification && unregisterNotification(m_watched)) m_watched = nullptr;
}

// Silent means silent whatever the order of the start-up's steps: the
// option is read here, not the registry's state of the moment.
void SessionEvents::OnLogonStart(const AppSettings& settings) {
  if (settings.BootOnNoSound == 0 && Wanted(settings)) m_player.Start(SessionSound::Logon);
}

// Windows has no sound for a lock: only the unlock plays. It never waits.
void SessionEvents::OnSessionChange(WPARAM change, const AppSettings& settings) {
  if (change == WTS_SESSION_UNLOCK && Wanted(settings)) m_player.Start(SessionSound::Unlock);
}

void SessionEvents::OnQueryEnd(HWND window, LPARAM reasons, const AppSettings& settings) {
  if (m_blocking || !EndPlaysSound(reasons, settings)) return;
  m_blocking = ShutdownBlockReasonCreate(window, Widen(LoadResString(IDS_ENDING_SOUND).view()).c_str()) != FALSE;
}

void SessionEvents::OnEnding(HWND window, LPARAM reasons, const AppSettings& settings) {
  if (EndPlaysSound(reasons, settings))
    m_player.PlayToEnd((reasons & ENDSESSION_LOGOFF) ? SessionSound::Logoff : SessionSound::Shutdown,
                       kMostEndOfSessionSound);
  OnEndCancelled(window);
}

void SessionEvents::OnEndCancelled(HWND window) {
  if (m_blocking) ShutdownBlockReasonDestroy(window);
  m_blocking = false;
}
