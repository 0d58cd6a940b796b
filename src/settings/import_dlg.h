#pragma once
// The import dialog: the user picks registered sound schemes, and the files
// they assign are merged into the candidate pools of the settings file's
// table.

#include "platform/win/controls.h"
#include "platform/win/dialog.h"
#include "store/settings_file.h"

class CImportDlg : public CDialog {
 public:
  // `selectedScheme`: the key of a scheme to select at the start, if listed.
  explicit CImportDlg(SettingsFile& settingsFile, HWND parent = nullptr, CString selectedScheme = {});

 protected:
  void DoDataExchange(CDataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Each item holds the scheme's key after its padded display name; only
  // the name is drawn.
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnSelectAll() { m_list.SetSel(-1, true); }
  void OnDeselectAll() { m_list.SetSel(-1, false); }

  SettingsFile& m_settingsFile;
  CString m_selectedScheme;
  CListBox m_list;
};
