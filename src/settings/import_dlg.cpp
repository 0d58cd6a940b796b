#include "settings/import_dlg.h"

#include <utility>

#include "platform/win/data_exchange.h"
#include "platform/win/win_app.h"
#include "res/resource.h"
#include "schemes/scheme_import.h"
#include "store/app_events.h"

CImportDlg::CImportDlg(SettingsFile& settingsFile, HWND parent, CString selectedScheme)
    : CDialog(IDD_IMPORT, parent), m_settingsFile(settingsFile), m_selectedScheme(std::move(selectedScheme)) {}

void CImportDlg::DoDataExchange(CDataExchange& dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_SCHEME_LIST, m_list);
}

bool CImportDlg::OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const MessageMapEntry<CImportDlg> kMessageMap[] = {
      OnMessage<WM_DRAWITEM, &CImportDlg::OnDrawItem>(),
      OnCommand<&CImportDlg::OnSelectAll>(IDC_SELECT_ALL),
      OnCommand<&CImportDlg::OnDeselectAll>(IDC_DESELECT_ALL),
  };
  return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

// The sounds in force now come first, as a scheme of their own.
bool CImportDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.FitItemHeightToFont();
  m_list.AddString(SchemeItemText({LoadResString(IDS_CURRENT_SETTINGS), app_events::kCurrentScheme}));
  for (const SchemeName& scheme : ListSchemes()) m_list.AddString(SchemeItemText(scheme));
  for (int i = 0; !m_selectedScheme.IsEmpty() && i < m_list.GetCount(); ++i)
    if (SchemeKeyOfItem(m_list.GetText(i)).EqualsNoCase(m_selectedScheme)) m_list.SetSel(i, true);
  return true;
}

void CImportDlg::OnOK() {
  int count = m_list.GetCount();
  for (int i = 0; i < count; ++i) {
    if (m_list.GetSel(i)) ImportScheme(*m_settingsFile.EditTable(), SchemeKeyOfItem(m_list.GetText(i)));
  }
  CDialog::OnOK();
}

void CImportDlg::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != IDC_SCHEME_LIST) return;
  if (item.itemID != static_cast<UINT>(-1)) {
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    CString name = SchemeNameOfItem(m_list.GetText(static_cast<int>(item.itemID)));
    RECT text = item.rcItem;
    text.left += GetSystemMetrics(SM_CXEDGE);
    DrawTextA(item.hDC, name, name.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}
