#pragma once
// The settings dialog: the event tree, the candidate pool of the selected
// event, the start-up and timer options. It edits the live table; Apply and
// OK save the table and the options, Cancel reads the file back.

#include "platform/win/controls.h"
#include "platform/win/dialog.h"
#include "platform/win/app_package_read.h"
#include "settings/candidate_list.h"
#include "settings/notification_access.h"
#include "settings/sound_decoder.h"
#include "settings/startup_shortcut.h"
#include "settings/wave_files.h"
#include "store/settings_file.h"

class CSettingsDlg : public CDialog {
 public:
  // The manual is looked for below `startupFolder`, and converted sounds go
  // into a folder there. `grant` lets Windows notifications read a file,
  // `decoder` decodes sound files (tests give their own).
  CSettingsDlg(SettingsFile& settingsFile, const CString& startupFolder, HWND parent = nullptr,
               ReadGrant grant = LetAppPackagesRead, SoundDecoder decoder = DecodeWithMediaFoundation);

  // Rebuilds the tree from the table (groups in table order, each group's
  // events sorted) and disables Apply.
  void FillEventTree();
  void ShowSelectPrompt();
  void FillCandidateList(int index);
  void EnableApply(bool enable) { m_applyButton.EnableWindow(enable); }
  // Appends `path` to the selected event unless the list holds it already.
  void AddCandidate(CString path);
  // Appends the files to the selected event, sound files converted, and
  // tells of those it skipped.
  void AddFiles(WaveFiles files);
  // What the candidate list shows after line `line`'s path: why Windows may
  // not play its file; empty when it can. The file is checked when first
  // asked, and not again until the list is filled anew.
  CString CandidateRemark(int line);

 protected:
  void DoDataExchange(CDataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // The table index of the selected tree item if it is an event; -1 else.
  int SelectedEventIndex() const;
  void TellCount(UINT messageId, int count);
  void TellLeftOut(const std::vector<LeftOutFile>& files);
  // Apply's work; false when the Startup folder refused the shortcut.
  bool Apply();
  bool ApplyStartWithWindows();

  void OnPaint();
  HICON OnQueryDragIcon();
  void OnDropFiles(HDROP drop);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnSelchangedEventTree(NMHDR* header);
  void OnImport();
  void OnAdd();
  void OnDelete();
  void OnPlay();
  void OnSelchangeCandidateList();
  void OnApply();
  void OnAbout();
  void OnManual();
  void OnSessionSounds() { EnableApply(true); }

  SettingsFile& m_settingsFile;
  CString m_startupFolder;
  CSpinButtonCtrl m_spinMinutes;
  CSpinButtonCtrl m_spinHours;
  CSpinButtonCtrl m_spinWait;
  CTreeCtrl m_eventTree;
  CButton m_applyButton;
  CButton m_playButton;
  CButton m_deleteButton;
  CButton m_addButton;
  CCandidateList m_candidateList;
  int m_bootOnNoSound = 0;
  int m_bootOnSoundChange = 0;
  int m_bootWaitTime = 0;
  int m_timerHours = 0;
  int m_timerMinutes = 0;
  int m_startWithWindows = 0;
  int m_sessionSounds = 0;
  StartupShortcut m_startup;
  ReadGrant m_grant;
  SoundDecoder m_decoder;
  bool m_filling = false;   // while FillEventTree runs
  HICON m_hIcon = nullptr;  // shared
};
