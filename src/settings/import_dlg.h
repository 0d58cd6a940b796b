#pragma once
// The import dialog: the user picks registered sound schemes, and the files
// they assign are merged into the candidate pools of the table.

#include "platform/win/controls.h"
#include "platform/win/dialog.h"
#include "store/event_entry.h"

class CImportDlg : public CDialog {
 public:
  explicit CImportDlg(EventTable& table, HWND parent = nullptr);

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

  EventTable& m_table;
  CListBox m_list;
};
