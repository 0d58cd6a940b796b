#include "shell/resident_dlg.h"

#include <cstdlib>
#include <ctime>

#include "platform/win/data_exchange.h"
#include "platform/win/unique_handle.h"
#include "platform/win/win_app.h"
#include "res/resource.h"
#include "schemes/sound_schemes.h"
#include "settings/about_dlg.h"
#include "settings/settings_dlg.h"

namespace {

constexpr UINT kTrayIconId = 1;
// The tray's notifications come as WM_MOUSEMOVE, the icon id in wParam.
// What drives the icon from outside (the end-to-end driver among them) posts
// exactly this pair; with another message it would reach no handler.
constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerPeriod = 1000;

// Sent to every top-level window when the taskbar is rebuilt (Explorer
// restarted): the notification area has forgotten our icon.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

HICON LoadTrayIcon(UINT id) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

}  // namespace

void TellKeptCopy(const CString& path) {
  CString text;
  text.Format(LoadResString(IDS_KEPT_COPY), static_cast<const char*>(path));
  AfxMessageBox(text, MB_ICONINFORMATION);
}

CResidentDlg::CResidentDlg(SettingsFile& settingsFile, const CString& startupFolder, HWND parent)
    : CDialog(IDD_RESIDENT, parent), m_settingsFile(settingsFile), m_startupFolder(startupFolder) {}

void CResidentDlg::DoDataExchange(CDataExchange& dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_STATUS_LINE, m_statusLine);
}

bool CResidentDlg::OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const MessageMapEntry<CResidentDlg> kMessageMap[] = {
      OnMessage<&CResidentDlg::OnMouseMove>(kTrayCallbackMessage),
      OnCommand<&CResidentDlg::OnExit>(IDM_EXIT),
      OnCommand<&CResidentDlg::OnSettings>(IDM_SETTINGS),
      OnCommand<&CResidentDlg::OnSilent>(IDM_SILENT),
      OnCommand<&CResidentDlg::OnReassign>(IDM_REASSIGN),
      OnCommand<&CResidentDlg::OnAbout>(IDM_ABOUT),
      OnMessage<WM_TIMER, &CResidentDlg::OnTimer>(),
  };
  if (message == TaskbarCreatedMessage()) {
    if (m_trayIconShown) Shell_NotifyIconA(NIM_ADD, &m_trayData);
    result = 0;
    return true;
  }
  return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

bool CResidentDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcons(IDI_BELLTIDE);
  m_timerId = 0;
  SetStatus(LoadResString(IDS_STATUS_LOADING));
  bool loaded;
  {
    CWaitCursor wait;
    loaded = m_settingsFile.LoadSettings();
  }
  if (!loaded) {
    AfxMessageBox(IDS_LEFT_UNCHANGED, MB_ICONSTOP);
    EndDialog(IDCANCEL);
    return true;
  }
  if (!m_settingsFile.KeptCopy().IsEmpty()) TellKeptCopy(m_settingsFile.KeptCopy());
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  if (m_settingsFile.settings.Setup == 0) {
    SetStatus(LoadResString(IDS_STATUS_FIRST_RUN));
    AfxMessageBox(IDS_FIRST_RUN, MB_ICONINFORMATION);
    OnSettings();
  }

  m_trayData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  m_trayData.hWnd = m_hWnd;
  m_trayData.uID = kTrayIconId;
  m_trayData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_trayData.uCallbackMessage = kTrayCallbackMessage;
  m_trayData.hIcon = LoadTrayIcon(IDI_SOUNDING);
  lstrcpynA(m_trayData.szTip, "Belltide", sizeof m_trayData.szTip);

  m_timerId = SetTimer(m_hWnd, kTimerId, kTimerPeriod, nullptr);
  StartBootSequence();
  return true;
}

void CResidentDlg::StartBootSequence() {
  if (m_settingsFile.settings.BootOnNoSound != 0) {
    SetSilentScheme();
    SetStatus(LoadResString(IDS_STATUS_SILENCED));
  }
  m_phases.StartBootWait(m_settingsFile.settings.BootWaitTime);
}

void CResidentDlg::OnTimer(UINT_PTR id) {
  PassToDefault();
  if (id != m_timerId) return;
  const AppSettings& settings = m_settingsFile.settings;
  TimerPhases::Tick tick = m_phases.OnTick(settings.Timer);
  if (tick.showCountdown) {
    CString text;
    text.Format(LoadResString(IDS_STATUS_WAITING), tick.countdown);
    SetStatus(text);
  }
  if (tick.waitEnded) {
    if (settings.BootOnSoundChange != 0) ReassignSounds();
    SetStatus(LoadResString(IDS_STATUS_GOING_RESIDENT));
  }
  if (tick.goResident) {
    ShowWindow(SW_HIDE);
    // The record already shows the silent state if the start-up silenced the sounds.
    m_trayIconShown = Shell_NotifyIconA(NIM_ADD, &m_trayData) != FALSE;
  }
  if (tick.reassign) ReassignSounds();
}

void CResidentDlg::UpdateTrayIcon(bool silent) {
  lstrcpynA(m_trayData.szTip, silent ? "Belltide - No Sound" : "Belltide", sizeof m_trayData.szTip);
  m_trayData.hIcon = LoadTrayIcon(silent ? IDI_SILENT : IDI_SOUNDING);
  Shell_NotifyIconA(NIM_MODIFY, &m_trayData);
}

void CResidentDlg::ReassignSounds() {
  CWaitCursor wait;
  UpdateTrayIcon(false);
  AssignRandomSounds(m_settingsFile.table);
  m_settingsFile.SaveSettings();
}

void CResidentDlg::SetSilentScheme() {
  SilenceSounds(m_settingsFile.table);
  UpdateTrayIcon(true);
  m_phases.Stop();
}

LRESULT CResidentDlg::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (wParam == kTrayIconId && m_trayEnabled) {
    if (LOWORD(lParam) == WM_RBUTTONUP)
      ShowPopupMenu();
    else if (LOWORD(lParam) == WM_LBUTTONDBLCLK)
      OnSettings();
  }
  PassToDefault();
  return 0;
}

void CResidentDlg::ShowPopupMenu() {
  POINT cursor = {};
  GetCursorPos(&cursor);
  UniqueMenu menu(LoadMenuResource(IDM_POPUP));
  // A notification-area menu closes on a click elsewhere only if our window
  // is in the foreground, and only if a message follows the tracking.
  SetForegroundWindow(m_hWnd);
  TrackPopupMenu(GetSubMenu(menu.get(), 0), 0, cursor.x, cursor.y, 0, m_hWnd, nullptr);
  PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CResidentDlg::OnExit() { EndDialog(IDOK); }

void CResidentDlg::OnSettings() {
  m_phases.Stop();
  m_trayEnabled = false;
  CSettingsDlg dialog(m_settingsFile, m_startupFolder);
  dialog.DoModal();
  m_trayEnabled = true;
  m_phases.ArmAutoChange(m_settingsFile.settings.Timer);
}

void CResidentDlg::OnReassign() { ReassignSounds(); }

void CResidentDlg::OnAbout() {
  CAboutDlg dialog;
  dialog.DoModal();
}

bool CResidentDlg::DestroyWindow() {
  Shell_NotifyIconA(NIM_DELETE, &m_trayData);
  m_trayIconShown = false;
  if (m_timerId != 0) KillTimer(m_hWnd, m_timerId);
  m_timerId = 0;
  return CDialog::DestroyWindow();
}
