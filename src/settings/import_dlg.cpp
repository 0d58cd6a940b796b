#include "settings/import_dlg.h"

#include "platform/win/data_exchange.h"
#include "platform/win/win_app.h"
#include "res/resource.h"
#include "schemes/scheme_import.h"
#include "store/app_events.h"

CImportDlg::CImportDlg(EventTable& table, HWND parent) : CDialog(IDD_IMPORT, parent), m_table(table) {}

void CImportDlg::DoDataExchange(CDataExchange& dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_SCHEME_LIST, m_list);
}

bool CImportDlg::OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const MessageMapEntry<CImportDlg> kMessageMap[] = {
      OnCommand(IDC_SELECT_ALL, &CImportDlg::OnSelectAll),
      OnCommand(IDC_DESELECT_ALL, &CImportDlg::OnDeselectAll),
  };
  return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

// The sounds in force now come first, as a scheme of their own.
BOOL CImportDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.AddString(SchemeItemText({LoadResString(IDS_CURRENT_SETTINGS), app_events::kCurrentScheme}));
  for (const SchemeName& scheme : ListSchemes()) m_list.AddString(SchemeItemText(scheme));
  return TRUE;
}

void CImportDlg::OnOK() {
  int count = m_list.GetCount();
  for (int i = 0; i < count; ++i) {
    if (m_list.GetSel(i)) ImportScheme(m_table, SchemeKeyOfItem(m_list.GetText(i)));
  }
  CDialog::OnOK();
}
