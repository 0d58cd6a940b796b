#include "shell/scheme_watch.h"

#include "platform/win/window_timer.h"
#include "store/app_events.h"

namespace {

constexpr ULONGLONG kQuietMs = 1000;
constexpr DWORD kChanges = REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME;

}  // namespace

bool SchemeWatch::Start(HWND window) {
  m_window = window;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, app_events::kSchemesKey, 0, KEY_NOTIFY, &key) != ERROR_SUCCESS) return false;
  m_key.reset(key);
  m_signal.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));  // auto-reset: the wait that sees it resets it
  if (!m_signal || !Arm()) {
    m_signal.reset();
    return false;
  }
  return true;
}

// One notification per registration: armed again after each signal.
bool SchemeWatch::Arm() {
  return RegNotifyChangeKeyValue(m_key.get(), TRUE, kChanges, m_signal.get(), TRUE) == ERROR_SUCCESS;
}

void SchemeWatch::OnSignalled() {
  Arm();
  ArmWindowTimer(m_window, m_quietTimer, kQuietMs);
}

OutsideChange SchemeWatch::OnQuiet() {
  KillTimer(m_window, m_quietTimer);
  return CompareNow();
}
