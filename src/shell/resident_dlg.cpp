#include "shell/resident_dlg.h"

#include <cstdlib>
#include <ctime>
#include <utility>

#include "platform/ansi_text_win32.h"
#include "platform/win/data_exchange.h"
#include "platform/win/unique_handle.h"
#include "platform/win/win_app.h"
#include "platform/win/window_timer.h"
#include "res/resource.h"
#include "schemes/sound_schemes.h"
#include "settings/about_dlg.h"
#include "settings/import_dlg.h"
#include "settings/save_settings.h"
#include "settings/settings_dlg.h"

namespace {

// The tray's notifications come as WM_MOUSEMOVE, the icon id in wParam.
// What drives the icon from outside (the end-to-end driver among them) posts
// exactly this pair; with another message it would reach no handler. A real
// mouse move over the status window looks alike (MK_LBUTTON is 1, and x may
// be a mouse message's number): it can only come while the window shows,
// and then there is no icon.
constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;

constexpr UINT_PTR kPhaseTimer = 1;
constexpr UINT_PTR kTrayRetryTimer = 2;
constexpr UINT_PTR kSchemesQuietTimer = 3;  // armed only after the schemes changed

// The periodic change may come this much late, so that Windows can wake the
// machine once for it and for other timers.
UINT ChangeTolerance(TimerPhases::Millis delay) { return delay / 4 < 60000 ? static_cast<UINT>(delay / 4) : 60000; }

// Sent to every top-level window when the taskbar is rebuilt (Explorer
// started or restarted): the notification area has forgotten our icon.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
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
      m_tray(system.notifyIcon, system.tickCount),
      m_session(system.sound),
      m_schemeWatch(kSchemesQuietTimer) {}

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
      OnCommand<&CResidentDlg::OnImportApplied>(IDM_IMPORT_APPLIED),
      OnMessage<WM_TIMER, &CResidentDlg::OnTimer>(),
      OnMessage<WM_QUERYENDSESSION, &CResidentDlg::OnQueryEndSession>(),
      OnMessage<WM_ENDSESSION, &CResidentDlg::OnEndSession>(),
      OnMessage<WM_POWERBROADCAST, &CResidentDlg::OnPowerBroadcast>(),
      OnMessage<WM_COPYDATA, &CResidentDlg::OnCopyData>(),
      OnMessage<&CResidentDlg::OnSessionChange>(WM_WTSSESSION_CHANGE),
  };
  if (message == TaskbarCreatedMessage()) {
    if (m_resident && !m_runEnded) m_tray.Add();
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
  if (m_startedAtLogon) m_session.OnLogonStart(m_settingsFile.settings);
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
  m_session.Watch(m_hWnd);
  if (m_schemeWatch.Start(m_hWnd)) WaitAlsoFor(m_schemeWatch.Signal());
  m_schemeWatch.Record(ReadSoundsInForce(m_settingsFile.table));
  m_tray.Create(m_hWnd, kTrayCallbackMessage, kTrayRetryTimer);

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
  if (m_windowsChoiceStands && m_phases.phase() == TimerPhases::PhaseAutoChange) m_phases.Stop();
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
    m_tray.Add();
  } else if (id == kPhaseTimer) {
    Act(m_phases.OnTimer(m_settingsFile.settings.Timer, Now()));
    ArmTimer();
  } else if (id == kSchemesQuietTimer) {
    FollowWindows(m_schemeWatch.OnQuiet());
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
    if (asked)
      ReassignSounds();
    else if (settings.BootOnSoundChange != 0)
      ReassignOnItsOwn();
    SetStatus(LoadResString(IDS_STATUS_GOING_RESIDENT));
  }
  if (tick.goResident) {
    ShowWindow(SW_HIDE);
    m_resident = true;
    // The record already shows the silent state if the start-up silenced the sounds.
    m_tray.Add();
    DoPendingCommand();
  }
  if (tick.reassign) ReassignOnItsOwn();
}

void CResidentDlg::ReassignSounds() {
  if (m_runEnded) return;
  CWaitCursor wait;
  const bool resumed = std::exchange(m_windowsChoiceStands, false);
  // The tray changes only when the silence ends: a change costs a round
  // trip to the notification area, whose answer lets in messages sent
  // meanwhile; the session may have ended in it, and with it the run.
  if (m_tray.state() != TrayIcon::State::Sounding) {
    m_tray.Show(TrayIcon::State::Sounding);
    if (m_runEnded) return;
  }
  m_schemeWatch.Record(AssignRandomSounds(m_settingsFile));
  SaveSettingsOrTell(m_settingsFile);
  if (resumed && m_phases.phase() == TimerPhases::PhaseIdle) {
    m_phases.ArmAutoChange(m_settingsFile.settings.Timer, Now());
    ArmTimer();
  }
}

// A change the user did not ask for now: none while Windows' choice stands,
// nor over a change that a burst still in its quiet has made.
void CResidentDlg::ReassignOnItsOwn() {
  if (m_windowsChoiceStands) return;
  const OutsideChange change = m_schemeWatch.CompareNow();
  if (change == OutsideChange::None)
    ReassignSounds();
  else
    FollowWindows(change);
}

// Nothing is written back, and no change comes by itself until the user
// asks for one: Windows' ".None" is the silent mode, any other change a
// pause that the tray tells. The start-up wait, if it still runs, goes on.
void CResidentDlg::FollowWindows(OutsideChange change) {
  if (change == OutsideChange::None || m_runEnded) return;
  m_schemeWatch.Record(ReadSoundsInForce(m_settingsFile.table));
  m_windowsChoiceStands = true;
  if (change == OutsideChange::Silenced) {
    m_tray.Show(TrayIcon::State::Silent);
  } else if (!PausedByWindows()) {
    m_tray.Show(TrayIcon::State::PausedByWindows);
    m_tray.Balloon(IDS_PAUSED_TITLE, IDS_PAUSED_TEXT);
  }
  ArmTimer();
}

void CResidentDlg::SetSilentScheme() {
  if (m_runEnded) return;
  m_schemeWatch.Record(SilenceSounds(m_settingsFile.table));
  m_tray.Show(TrayIcon::State::Silent);
  m_phases.Stop();
  ArmTimer();
}

LRESULT CResidentDlg::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (wParam == TrayIcon::kId && m_resident && m_tray.Shown() && m_trayEnabled && !m_runEnded) {
    if (LOWORD(lParam) == WM_RBUTTONUP)
      ShowPopupMenu();
    else if (LOWORD(lParam) == WM_LBUTTONDBLCLK)
      OnSettings();
    else if (LOWORD(lParam) == NIN_BALLOONUSERCLICK && PausedByWindows())
      OnImportApplied();
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
  if (!PausedByWindows()) DeleteMenu(menu.get(), IDM_IMPORT_APPLIED, MF_BYCOMMAND);
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
  if (!m_trayEnabled || !m_setUp) return kRefused;
  if (command == RemoteCommand::Exit) {
    OnExit();
  } else {
    m_pendingCommand = command;
    if (m_resident) DoPendingCommand();
  }
  return kDone;
}

LRESULT CResidentDlg::OnSessionChange(WPARAM change, LPARAM) {
  if (!m_runEnded) m_session.OnSessionChange(change, m_settingsFile.settings);
  return 0;
}

// Answered at once: the sound of the end plays only once the end is certain.
bool CResidentDlg::OnQueryEndSession(LPARAM reasons) {
  if (!m_runEnded) m_session.OnQueryEnd(m_hWnd, reasons, m_settingsFile.settings);
  return true;
}

// Windows may end the process as soon as this returns, so everything that
// Exit leaves behind is done here, before the sound of the end plays: the
// settings dialog closes without saving, and Finish saves again only what
// was saved last, never its edits not yet applied; the settings file is
// closed with its last save on the disk, the backup written, the icon
// removed.
void CResidentDlg::OnEndSession(bool ending, LPARAM reasons) {
  if (m_runEnded) return;
  if (!ending) return m_session.OnEndCancelled(m_hWnd);
  if (m_openSettings) m_openSettings->EndDialog(IDCANCEL);
  if (m_openImport) m_openImport->EndDialog(IDCANCEL);
  KillTimer(m_hWnd, kPhaseTimer);
  KillTimer(m_hWnd, kSchemesQuietTimer);
  m_tray.Remove();
  m_files.Finish(m_settingsFile);
  m_runEnded = true;
  m_session.OnEnding(m_hWnd, reasons, m_settingsFile.settings);
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

// The scheme Windows applied, selected in the import dialog: its sounds join
// the pools only if the user says so.
void CResidentDlg::OnImportApplied() {
  if (m_runEnded || !m_trayEnabled) return;
  m_trayEnabled = false;
  CImportDlg dialog(m_settingsFile, nullptr, CString(SoundsInForce::ActiveSchemeNow()));
  m_openImport = &dialog;
  const bool imported = dialog.DoModal() == IDOK;
  m_openImport = nullptr;
  m_trayEnabled = true;
  if (imported && !m_runEnded) SaveSettingsOrTell(m_settingsFile);
}

void CResidentDlg::OnAbout() {
  CAboutDlg dialog;
  dialog.DoModal();
}

bool CResidentDlg::DestroyWindow() {
  RemovePropW(m_hWnd, kResidentWindowProperty);
  m_session.Unwatch();
  m_tray.Remove();
  KillTimer(m_hWnd, kPhaseTimer);
  KillTimer(m_hWnd, kSchemesQuietTimer);
  return CDialog::DestroyWindow();
}
