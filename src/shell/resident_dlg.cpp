#include "shell/resident_dlg.h"

#include <wtsapi32.h>

#include <cstdlib>
#include <ctime>
#include <utility>

#include "platform/ansi_text_win32.h"
#include "platform/win/data_exchange.h"
#include "platform/win/process_hardening.h"
#include "platform/win/unique_handle.h"
#include "platform/win/win_app.h"
#include "platform/win/window_timer.h"
#include "platform/win/windows_version.h"
#include "res/resource.h"
#include "schemes/sound_schemes.h"
#include "settings/about_dlg.h"
#include "settings/save_settings.h"
#include "settings/settings_dlg.h"

namespace {

constexpr UINT kTrayIconId = 1;
// The tray's notifications come as WM_MOUSEMOVE, the icon id in wParam.
// What drives the icon from outside (the end-to-end driver among them) posts
// exactly this pair; with another message it would reach no handler. A real
// mouse move over the status window looks alike (MK_LBUTTON is 1, and x may
// be a mouse message's number): it can only come while the window shows,
// and then there is no icon.
constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;

constexpr UINT_PTR kPhaseTimer = 1;
constexpr UINT_PTR kTrayRetryTimer = 2;

// A refused icon is offered again often while Explorer may still be
// starting, and then now and again for as long as the program runs.
constexpr TimerPhases::Millis kTrayRetrySoon = 3000, kTrayRetryLater = 30000;
constexpr TimerPhases::Millis kTrayStartingUp = 2 * 60 * 1000;

// The periodic change may come this much late, so that Windows can wake the
// machine once for it and for other timers.
UINT ChangeTolerance(TimerPhases::Millis delay) { return delay / 4 < 60000 ? static_cast<UINT>(delay / 4) : 60000; }

// Sent to every top-level window when the taskbar is rebuilt (Explorer
// started or restarted): the notification area has forgotten our icon.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

HICON LoadTrayIcon(UINT id) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

}  // namespace

void TellKeptCopy(UINT messageId, const CString& path) {
  CString text;
  text.Format(LoadResString(messageId), static_cast<const char*>(path));
  AfxMessageBox(text, MB_ICONINFORMATION);
}

CResidentDlg::CResidentDlg(SettingsFile& settingsFile, const StartupFiles& files, ResidentSystem system)
    : CDialog(IDD_RESIDENT),
      m_settingsFile(settingsFile),
      m_files(files),
      m_system(system),
      m_sessionPlayer(system.sound) {}

void CResidentDlg::DoOnceResident(RemoteCommand command) {
  if (command == RemoteCommand::Logon)
    m_startedAtLogon = true;
  else
    m_pendingCommand = command;
}

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
      OnMessage<WM_QUERYENDSESSION, &CResidentDlg::OnQueryEndSession>(),
      OnMessage<WM_ENDSESSION, &CResidentDlg::OnEndSession>(),
      OnMessage<WM_POWERBROADCAST, &CResidentDlg::OnPowerBroadcast>(),
      OnMessage<WM_COPYDATA, &CResidentDlg::OnCopyData>(),
      OnMessage<&CResidentDlg::OnSessionChange>(WM_WTSSESSION_CHANGE),
  };
  if (message == TaskbarCreatedMessage()) {
    if (m_resident && !m_runEnded) AddTrayIcon();
    result = 0;
    return true;
  }
  return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

bool CResidentDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetPropW(m_hWnd, kResidentWindowProperty, m_hWnd);
  SetIcons(IDI_BELLTIDE);
  SetStatus(LoadResString(IDS_STATUS_LOADING));
  bool loaded;
  {
    CWaitCursor wait;
    loaded = LoadSettingsOrTell(m_settingsFile);
  }
  if (!loaded) {
    AfxMessageBox(IDS_LEFT_UNCHANGED, MB_ICONSTOP);
    EndDialog(IDCANCEL);
    return true;
  }
  if (m_startedAtLogon && SessionSoundsWanted()) m_sessionPlayer.Start(SessionSound::Logon);
  if (!m_settingsFile.KeptCopy().IsEmpty()) TellKeptCopy(IDS_KEPT_COPY, m_settingsFile.KeptCopy());
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  if (m_settingsFile.settings.Setup == 0) {
    SetStatus(LoadResString(IDS_STATUS_FIRST_RUN));
    AfxMessageBox(IDS_FIRST_RUN, MB_ICONINFORMATION);
    if (m_pendingCommand == RemoteCommand::Settings) m_pendingCommand = RemoteCommand::None;
    OnSettings();
    if (m_runEnded) return true;
  }

  m_setUp = true;
  LetNotificationsRead(m_settingsFile.table, m_system.readGrant);  // no box at log-on: the dialog tells
  WatchSession(!WindowsPlaysSessionSounds());
  m_trayData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  m_trayData.hWnd = m_hWnd;
  m_trayData.uID = kTrayIconId;
  m_trayData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_trayData.uCallbackMessage = kTrayCallbackMessage;
  m_trayData.hIcon = LoadTrayIcon(IDI_SOUNDING);
  lstrcpynA(m_trayData.szTip, "Belltide", sizeof m_trayData.szTip);

  StartBootSequence();
  return true;
}

void CResidentDlg::StartBootSequence() {
  if (m_settingsFile.settings.BootOnNoSound != 0) {
    SetSilentScheme();
    SetStatus(LoadResString(IDS_STATUS_SILENCED));
  }
  m_phases.StartBootWait(m_settingsFile.settings.BootWaitTime);
  ArmTimer();
}

void CResidentDlg::ArmTimer() {
  if (m_runEnded) return;
  TimerPhases::Millis delay = m_phases.NextWake(Now());
  if (delay == TimerPhases::kNever)
    KillTimer(m_hWnd, kPhaseTimer);
  else if (m_phases.phase() == TimerPhases::PhaseAutoChange)
    ArmWindowTimer(m_hWnd, kPhaseTimer, delay, ChangeTolerance(delay));
  else
    ArmWindowTimer(m_hWnd, kPhaseTimer, delay);  // the window shows each second
}

void CResidentDlg::OnTimer(UINT_PTR id) {
  PassToDefault();
  if (m_runEnded) return;
  if (id == kTrayRetryTimer) {
    AddTrayIcon();
  } else if (id == kPhaseTimer) {
    Act(m_phases.OnTimer(m_settingsFile.settings.Timer, Now()));
    ArmTimer();
  }
}

void CResidentDlg::OnPowerBroadcast(UINT event) {
  if (m_runEnded || (event != PBT_APMRESUMEAUTOMATIC && event != PBT_APMRESUMESUSPEND)) return;
  Act(m_phases.OnResume(m_settingsFile.settings.Timer, Now()));
  ArmTimer();
}

void CResidentDlg::Act(const TimerPhases::Tick& tick) {
  const AppSettings& settings = m_settingsFile.settings;
  if (tick.showCountdown) {
    CString text;
    text.Format(LoadResString(IDS_STATUS_WAITING), tick.countdown);
    SetStatus(text);
  }
  if (tick.waitEnded) {
    bool asked = m_pendingCommand == RemoteCommand::Change;
    if (asked) m_pendingCommand = RemoteCommand::None;
    if (settings.BootOnSoundChange != 0 || asked) ReassignSounds();
    SetStatus(LoadResString(IDS_STATUS_GOING_RESIDENT));
  }
  if (tick.goResident) {
    ShowWindow(SW_HIDE);
    m_resident = true;
    // The record already shows the silent state if the start-up silenced the sounds.
    AddTrayIcon();
    DoPendingCommand();
  }
  if (tick.reassign) ReassignSounds();
}

// An add that timed out while Explorer was busy may have landed all the
// same; then the icon takes changes.
void CResidentDlg::AddTrayIcon() {
  m_trayIconShown = Notify(NIM_ADD) || Notify(NIM_MODIFY);
  if (m_trayIconShown) {
    KillTimer(m_hWnd, kTrayRetryTimer);
    m_trayRefusedSince = TimerPhases::kNever;
    return;
  }
  TimerPhases::Millis now = Now();
  if (m_trayRefusedSince == TimerPhases::kNever) m_trayRefusedSince = now;
  ArmWindowTimer(m_hWnd, kTrayRetryTimer,
                 now - m_trayRefusedSince < kTrayStartingUp ? kTrayRetrySoon : kTrayRetryLater);
}

void CResidentDlg::RemoveTrayIcon() {
  KillTimer(m_hWnd, kTrayRetryTimer);
  if (m_trayIconShown) Notify(NIM_DELETE);
  m_trayIconShown = false;
}

void CResidentDlg::UpdateTrayIcon(bool silent) {
  m_traySilent = silent;
  lstrcpynA(m_trayData.szTip, silent ? "Belltide - No Sound" : "Belltide", sizeof m_trayData.szTip);
  m_trayData.hIcon = LoadTrayIcon(silent ? IDI_SILENT : IDI_SOUNDING);
  if (m_trayIconShown) Notify(NIM_MODIFY);
}

void CResidentDlg::ReassignSounds() {
  if (m_runEnded) return;
  CWaitCursor wait;
  // The tray changes only when the silence ends: a change costs a round
  // trip to the notification area, whose answer lets in messages sent
  // meanwhile; the session may have ended in it, and with it the run.
  if (m_traySilent) {
    UpdateTrayIcon(false);
    if (m_runEnded) return;
  }
  AssignRandomSounds(m_settingsFile);
  SaveSettingsOrTell(m_settingsFile);
}

void CResidentDlg::SetSilentScheme() {
  if (m_runEnded) return;
  SilenceSounds(m_settingsFile.table);
  UpdateTrayIcon(true);
  m_phases.Stop();
  ArmTimer();
}

LRESULT CResidentDlg::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (wParam == kTrayIconId && m_resident && m_trayIconShown && m_trayEnabled && !m_runEnded) {
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

void CResidentDlg::DoPendingCommand() {
  switch (std::exchange(m_pendingCommand, RemoteCommand::None)) {
    case RemoteCommand::Change:
      ReassignSounds();
      break;
    case RemoteCommand::Silent:
      SetSilentScheme();
      break;
    case RemoteCommand::Settings:
      PostMessageA(m_hWnd, WM_COMMAND, IDM_SETTINGS, 0);  // its modal loop is not the sender's to wait for
      break;
    default:
      break;
  }
}

// A command from a second start. It may come from any program with any
// content: only ours, for this folder, is acted on. While the settings
// dialog is open the commands of the disabled tray menu are refused, and so
// are all while the start-up's own messages are on screen (the settings not
// yet loaded, or a first run not yet set up); during the start-up wait every
// command but Exit waits for its end.
LRESULT CResidentDlg::OnCopyData(const COPYDATASTRUCT& data) {
  RemoteCommand command = DecodeRemoteCommand(data, Widen(m_files.folder.view()));
  if (command == RemoteCommand::None) return kNotAddressed;
  if (command == RemoteCommand::Logon) return kDone;  // this copy started long ago
  if (m_runEnded) return kRefused;
  if (command == RemoteCommand::Settings && m_openSettings) {
    SetForegroundWindow(m_openSettings->m_hWnd);
    return kDone;
  }
  if (m_openSettings || !m_setUp) return kRefused;
  if (command == RemoteCommand::Exit) {
    OnExit();
  } else {
    m_pendingCommand = command;
    if (m_resident) DoPendingCommand();
  }
  return kDone;
}

bool CResidentDlg::SessionSoundsWanted() const {
  return m_settingsFile.settings.SessionSounds != 0 && !WindowsPlaysSessionSounds();
}

// wtsapi32 is no KnownDLL: taken from the system folder.
void CResidentDlg::WatchSession(bool watch) {
  if (watch == m_watchingSession) return;
  static const auto registerNotification = AsFunction<decltype(&WTSRegisterSessionNotification)>(
      SystemExport(L"wtsapi32.dll", "WTSRegisterSessionNotification"));
  static const auto unregisterNotification = AsFunction<decltype(&WTSUnRegisterSessionNotification)>(
      SystemExport(L"wtsapi32.dll", "WTSUnRegisterSessionNotification"));
  if (watch)
    m_watchingSession = registerNotification && registerNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION);
  else if (unregisterNotification)
    m_watchingSession = !unregisterNotification(m_hWnd);
}

// Windows has no sound for a lock: only the unlock plays. It never waits.
LRESULT CResidentDlg::OnSessionChange(WPARAM change, LPARAM) {
  if (change == WTS_SESSION_UNLOCK && !m_runEnded && SessionSoundsWanted()) m_sessionPlayer.Start(SessionSound::Unlock);
  return 0;
}

// The log-off or shutdown sound, to its end but never longer than this,
// while Windows shows why the end waits; nothing when Windows forces the
// end. The answer is always yes.
constexpr DWORD kMostEndOfSessionSound = 4000;

bool CResidentDlg::OnQueryEndSession(LPARAM reasons) {
  if (m_runEnded || (reasons & ENDSESSION_CRITICAL) || !SessionSoundsWanted()) return true;
  ShutdownBlockReasonCreate(m_hWnd, Widen(LoadResString(IDS_ENDING_SOUND).view()).c_str());
  m_sessionPlayer.PlayToEnd((reasons & ENDSESSION_LOGOFF) ? SessionSound::Logoff : SessionSound::Shutdown,
                            kMostEndOfSessionSound);
  ShutdownBlockReasonDestroy(m_hWnd);
  return true;
}

// Windows may end the process as soon as this returns, so everything that
// Exit leaves behind is done here: edits the settings dialog has not
// applied are dropped, as its Cancel would; the settings file is closed
// with its last save on the disk, the backup written, the icon removed.
void CResidentDlg::OnEndSession(bool ending) {
  if (!ending || m_runEnded) return;
  if (m_openSettings) m_openSettings->EndDialog(IDCANCEL);
  KillTimer(m_hWnd, kPhaseTimer);
  RemoveTrayIcon();
  m_files.Finish(m_settingsFile);
  m_runEnded = true;
  EndDialog(IDOK);
}

void CResidentDlg::OnSettings() {
  if (m_runEnded) return;
  m_phases.Stop();
  ArmTimer();
  m_trayEnabled = false;
  CSettingsDlg dialog(m_settingsFile, m_files.folder, nullptr, m_system.readGrant);
  m_openSettings = &dialog;
  dialog.DoModal();
  m_openSettings = nullptr;
  m_trayEnabled = true;
  m_phases.ArmAutoChange(m_settingsFile.settings.Timer, Now());
  ArmTimer();
}

void CResidentDlg::OnReassign() { ReassignSounds(); }

void CResidentDlg::OnAbout() {
  CAboutDlg dialog;
  dialog.DoModal();
}

bool CResidentDlg::DestroyWindow() {
  RemovePropW(m_hWnd, kResidentWindowProperty);
  WatchSession(false);
  RemoveTrayIcon();
  KillTimer(m_hWnd, kPhaseTimer);
  return CDialog::DestroyWindow();
}
