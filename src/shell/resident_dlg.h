#pragma once
// The program's main window: a small status window shown during start-up,
// then hidden for good as the owner of the tray icon, its popup menu and the
// one-second timer that drives the start-up wait and the periodic change.

#include <windows.h>
#include <shellapi.h>

#include "platform/win/dialog.h"
#include "schemes/timer_phases.h"
#include "store/settings_file.h"

// Tells the user which file holds bytes of the settings file that it no
// longer holds itself.
void TellKeptCopy(const CString& path);

class CResidentDlg : public CDialog {
 public:
  // `startupFolder` is where the program was started; the manual is below it.
  CResidentDlg(SettingsFile& settingsFile, const CString& startupFolder, HWND parent = nullptr);

  // A new random sound for every event, ".Current" active, marks saved.
  void ReassignSounds();
  // No sound for any event, ".None" active; the periodic change stops.
  void SetSilentScheme();
  // The tray's sounding (false) or silent (true) tip and icon.
  void UpdateTrayIcon(bool silent);

  const TimerPhases& phases() const { return m_phases; }
  bool IsTrayIconShown() const { return m_trayIconShown; }
  const NOTIFYICONDATAA& trayData() const { return m_trayData; }

 protected:
  bool DestroyWindow() override;
  void DoDataExchange(CDataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void StartBootSequence();
  void SetStatus(const CString& text) { m_statusLine.SetWindowText(text); }
  void ShowPopupMenu();

  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR id);
  void OnExit();
  void OnSettings();
  void OnSilent() { SetSilentScheme(); }
  void OnReassign();
  void OnAbout();

  SettingsFile& m_settingsFile;
  CString m_startupFolder;
  bool m_trayEnabled = true;  // false while the settings dialog is open
  NOTIFYICONDATAA m_trayData = {};
  CEdit m_statusLine;
  UINT_PTR m_timerId = 0;
  TimerPhases m_phases;
  bool m_trayIconShown = false;  // added, and not yet deleted
};
