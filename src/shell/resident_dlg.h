#pragma once
// The program's main window: a small status window shown during start-up,
// then hidden for good as the owner of the tray icon and its popup menu.
// Its timer fires only for what is due: each second of the start-up wait,
// the periodic change, and a retry while the tray refuses the icon.

#include <windows.h>
#include <shellapi.h>

#include "platform/win/app_package_read.h"
#include "platform/win/dialog.h"
#include "settings/notification_access.h"
#include "shell/timer_phases.h"
#include "shell/remote_command.h"
#include "shell/session_player.h"
#include "store/settings_file.h"
#include "store/startup_files.h"

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

  // A new random sound for every event, ".Current" active, marks saved.
  void ReassignSounds();
  // No sound for any event, ".None" active; the periodic change stops.
  void SetSilentScheme();
  // The tray's sounding (false) or silent (true) tip and icon.
  void UpdateTrayIcon(bool silent);

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

 private:
  void StartBootSequence();
  void Act(const TimerPhases::Tick& tick);
  void ArmTimer();
  void AddTrayIcon();
  void RemoveTrayIcon();
  bool Notify(DWORD message) { return m_system.notifyIcon(message, &m_trayData) != FALSE; }
  TimerPhases::Millis Now() const { return m_system.tickCount(); }
  void SetStatus(const CString& text) { m_statusLine.SetWindowText(text); }
  void ShowPopupMenu();
  void DoPendingCommand();

  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR id);
  bool OnQueryEndSession(LPARAM reasons);
  LRESULT OnSessionChange(WPARAM change, LPARAM session);
  // The option is on, and Windows does not play the session's sounds itself.
  bool SessionSoundsWanted() const;
  void WatchSession(bool watch);
  void OnEndSession(bool ending);
  void OnPowerBroadcast(UINT event);
  LRESULT OnCopyData(const COPYDATASTRUCT& data);
  void OnExit();
  void OnSettings();
  void OnSilent() { SetSilentScheme(); }
  void OnReassign();
  void OnAbout();

  SettingsFile& m_settingsFile;
  const StartupFiles& m_files;
  ResidentSystem m_system;
  bool m_trayEnabled = true;  // false while the settings dialog is open
  CSettingsDlg* m_openSettings = nullptr;
  NOTIFYICONDATAA m_trayData = {};
  bool m_traySilent = false;  // the tip and icon of m_trayData show the silence
  CEdit m_statusLine;
  TimerPhases m_phases;
  bool m_resident = false;                                       // gone to the tray: the icon belongs there
  bool m_trayIconShown = false;                                  // added, and not yet deleted
  TimerPhases::Millis m_trayRefusedSince = TimerPhases::kNever;  // when the tray first refused the icon
  RemoteCommand m_pendingCommand = RemoteCommand::None;
  bool m_startedAtLogon = false;
  SessionPlayer m_sessionPlayer;
  bool m_watchingSession = false;  // registered for the session's notifications
  bool m_setUp = false;            // the settings loaded and a first run set up: commands may come
  bool m_runEnded = false;         // by the end of the session: nothing may change any more
};
