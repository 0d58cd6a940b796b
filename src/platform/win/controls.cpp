#include "platform/win/controls.h"

#include <vector>

CString CListBox::GetText(int index) const {
  LRESULT length = SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length == LB_ERR) return CString();
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  LRESULT got = SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  return got == LB_ERR ? CString() : CString(buffer.data(), static_cast<int>(got));
}

void CListBox::FitHorizontalExtent() const {
  HDC dc = GetDC(m_hWnd);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
  int widest = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CString line = GetText(i);
    SIZE size = {};
    GetTextExtentPoint32A(dc, line, line.GetLength(), &size);
    if (size.cx > widest) widest = size.cx;
  }
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(m_hWnd, dc);
  SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + metrics.tmAveCharWidth));  // room for the margin
}

HTREEITEM CTreeCtrl::InsertItem(const char* text, HTREEITEM parent, HTREEITEM after) const {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(text);
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void CTreeCtrl::SetItemData(HTREEITEM item, LPARAM data) const {
  TVITEMA tvItem = {};
  tvItem.mask = TVIF_PARAM;
  tvItem.hItem = item;
  tvItem.lParam = data;
  SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tvItem));
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const {
  TVITEMA tvItem = {};
  tvItem.mask = TVIF_PARAM;
  tvItem.hItem = item;
  return SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvItem)) ? tvItem.lParam : -1;
}

void CTreeCtrl::SetItemText(HTREEITEM item, const char* text) const {
  TVITEMA tvItem = {};
  tvItem.mask = TVIF_TEXT;
  tvItem.hItem = item;
  tvItem.pszText = const_cast<char*>(text);
  SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tvItem));
}
