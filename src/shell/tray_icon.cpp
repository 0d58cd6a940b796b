#include "shell/tray_icon.h"

#include "platform/win/resources.h"
#include "platform/win/window_timer.h"
#include "res/resource.h"

namespace {

// A refused icon is offered again often while Explorer may still be
// starting, and then now and again for as long as the program runs.
constexpr ULONGLONG kRetrySoon = 3000, kRetryLater = 30000;
constexpr ULONGLONG kStartingUp = 2 * 60 * 1000;
constexpr ULONGLONG kNotRefused = ~0ull;

HICON LoadTrayIcon(UINT id) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

}  // namespace

void TrayIcon::Create(HWND window, UINT callbackMessage, UINT_PTR retryTimer) {
  m_retryTimer = retryTimer;
  m_data.cbSize = NOTIFYICONDATAA_V2_SIZE;  // the first with balloons
  m_data.hWnd = window;
  m_data.uID = kId;
  m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_data.uCallbackMessage = callbackMessage;
  Show(State::Sounding);
}

// An add that timed out while Explorer was busy may have landed all the
// same; then the icon takes changes.
void TrayIcon::Add() {
  m_shown = Notify(NIM_ADD) || Notify(NIM_MODIFY);
  if (m_shown) {
    KillTimer(m_data.hWnd, m_retryTimer);
    m_refusedSince = kNotRefused;
    ShowDueBalloon();
    return;
  }
  const ULONGLONG now = m_clock();
  if (m_refusedSince == kNotRefused) m_refusedSince = now;
  ArmWindowTimer(m_data.hWnd, m_retryTimer, now - m_refusedSince < kStartingUp ? kRetrySoon : kRetryLater);
}

void TrayIcon::Remove() {
  KillTimer(m_data.hWnd, m_retryTimer);
  if (m_shown) Notify(NIM_DELETE);
  m_shown = false;
}

void TrayIcon::Show(State state) {
  m_state = state;
  if (state != State::PausedByWindows) m_balloonDue = false;
  const CString tip = state == State::Silent            ? CString("Belltide - No Sound")
                      : state == State::PausedByWindows ? LoadResString(IDS_TIP_PAUSED)
                                                        : CString("Belltide");
  lstrcpynA(m_data.szTip, tip, sizeof m_data.szTip);
  m_data.hIcon = LoadTrayIcon(state == State::Silent ? IDI_SILENT : IDI_SOUNDING);
  if (m_shown) Notify(NIM_MODIFY);
}

void TrayIcon::Balloon(UINT titleId, UINT textId) {
  lstrcpynA(m_data.szInfoTitle, LoadResString(titleId), sizeof m_data.szInfoTitle);
  lstrcpynA(m_data.szInfo, LoadResString(textId), sizeof m_data.szInfo);
  m_data.dwInfoFlags = NIIF_INFO;
  m_balloonDue = true;
  ShowDueBalloon();
}

void TrayIcon::ShowDueBalloon() {
  if (!m_balloonDue || !m_shown) return;
  m_balloonDue = false;
  m_data.uFlags |= NIF_INFO;
  Notify(NIM_MODIFY);
  m_data.uFlags &= ~NIF_INFO;  // later changes of the tip do not show it again
}
