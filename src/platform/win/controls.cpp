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
  ListTextMeter meter(*this);
  for (int i = 0; i < GetCount(); ++i) meter.Measure(GetText(i).view());
  SetHorizontalExtent(meter);
}

void CListBox::SetHorizontalExtent(const ListTextMeter& meter) const {
  SendMessage(LB_SETHORIZONTALEXTENT,
              static_cast<WPARAM>(meter.Widest() + meter.Metrics().tmAveCharWidth));  // room for the margin
}

ListTextMeter::ListTextMeter(const CWnd& window)
    : m_window(window.m_hWnd),
      m_dc(GetDC(m_window)),
      m_previous(SelectObject(m_dc, reinterpret_cast<HGDIOBJ>(window.SendMessage(WM_GETFONT)))) {}

ListTextMeter::~ListTextMeter() {
  SelectObject(m_dc, m_previous);
  ReleaseDC(m_window, m_dc);
}

TEXTMETRICA ListTextMeter::Metrics() const {
  TEXTMETRICA metrics = {};
  GetTextMetricsA(m_dc, &metrics);
  return metrics;
}

void ListTextMeter::Measure(std::string_view text) {
  SIZE size = {};
  GetTextExtentPoint32A(m_dc, text.data(), static_cast<int>(text.size()), &size);
  if (size.cx > m_widest) m_widest = size.cx;
}

void CListBox::FitItemHeightToFont() const {
  SendMessage(LB_SETITEMHEIGHT, 0, ListTextMeter(*this).Metrics().tmHeight);
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
