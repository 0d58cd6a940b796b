#pragma once
// The program's main window: a small status window shown during start-up,
// then hidden for good as the owner of the tray icon and its popup menu.
// Its timer fires only for what is due: each second of the start-up wait,
// the periodic change, a retry while the tray refuses the icon, and once
// after a burst of changes to the sound schemes. A change made in Windows
// stands: Belltide pauses its own until the user asks for one.

#include <windows.h>
#include <shellapi.h>

#include "platform/win/app_package_read.h"
#include "platform/win/dialog.h"
#include "settings/notification_access.h"
#include "shell/remote_command.h"
#include "shell/scheme_watch.h"
#include "shell/session_events.h"
#include "shell/timer_phases.h"
#include "shell/tray_icon.h"
#include "store/settings_file.h"
#include "store/startup_files.h"

class CImportDlg;
class CSettingsDlg;

// Tells the user, in message `messageId`, which file holds bytes of the
// settings file that it no longer holds itself.
void TellKeptCopy(UINT messageId, const CString& path);

// What the resident window asks of the notification area and of the clock;
// tests give it their own.
struct ResidentSystem {
  BOOL(WINAPI* notifyIcon)(DWORD message, PNOTIFYICONDATAA data) = Shell_NotifyIconA;
  ULONGLONG(WINAPI* tickCount)() = GetTickCount64;  // counts on while the machine sleeps
  SoundOutput sound;                                // the session's sounds
  ReadGrant readGrant = LetAppPackagesRead;         // lets notifications read a sound's file
};

class CResidentDlg : public CDialog {
 public:
  // The settings file is open; `files` tell where it and its backup live
  // (the manual is below files.folder).
  CResidentDlg(SettingsFile& settingsFile, const StartupFiles& files, ResidentSystem system = {});

  // A new random sound for every event, ".Current" active, marks saved;
  // a pause for Windows' choice ends.
  void ReassignSounds();
  // No sound for any event, ".None" active; the periodic change stops.
  void SetSilentScheme();

  // A command of the command line, done once the start-up is over as the
  // tray menu would do it (a change at the end of the wait, with the
  // change the options may ask for there).
  // A start at log-on plays the log-on sound at once instead.
  void DoOnceResident(RemoteCommand command);

 protected:
  bool DestroyWindow() override;
  void DoDataExchange(CDataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnSignalled() override { m_schemeWatch.OnSignalled(); }

 private:
  void StartBootSequence();
  void Act(const TimerPhases::Tick& tick);
  void ArmTimer();
  void ReassignOnItsOwn();
  void FollowWindows(OutsideChange change);
  bool PausedByWindows() const { return m_tray.state() == TrayIcon::State::PausedByWindows; }
  TimerPhases::Millis Now() const { return m_system.tickCount(); }
  void SetStatus(const CString& text) { m_statusLine.SetWindowText(text); }
  void ShowPopupMenu();
  void DoPendingCommand();

  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR id);
  bool OnQueryEndSession(LPARAM reasons);
  LRESULT OnSessionChange(WPARAM change, LPARAM session);
  void OnEndSession(bool ending, LPARAM reasons);
  void OnPowerBroadcast(UINT event);
  LRESULT OnCopyData(const COPYDATASTRUCT& data);
  void OnExit();
  void OnSettings();
  void OnSilent() { SetSilentScheme(); }
  void OnReassign();
  void OnAbout();
  void OnImportApplied();

  SettingsFile& m_settingsFile;
  const StartupFiles& m_files;
  ResidentSystem m_system;
  TrayIcon m_tray;
  bool m_trayEnabled = true;  // false while the settings or import dialog is open
  CSettingsDlg* m_openSettings = nullptr;
  CImportDlg* m_openImport = nullptr;
  CEdit m_statusLine;
  TimerPhases m_phases;
  bool m_resident = false;             // gone to the tray: the icon belongs there
  bool m_windowsChoiceStands = false;  // changed in Windows: no change until the user asks
  RemoteCommand m_pendingCommand = RemoteCommand::None;
  bool m_startedAtLogon = false;
  SessionEvents m_session;
  SchemeWatch m_schemeWatch;
  bool m_setUp = false;     // the settings loaded and a first run set up: commands may come
  bool m_runEnded = false;  // by the end of the session: nothing may change any more
};
