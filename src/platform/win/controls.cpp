#include "platform/win/controls.h"

#include <vector>

CString CListBox::GetText(int index) const {
  LRESULT length = SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length == LB_ERR) return CString();
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  LRESULT got = SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  return got == LB_ERR ? CString() : CString(buffer.data(), static_cast<int>(got));
}

namespace {

// The list's own font selected into a device context of it, for measuring.
class FontDC {
 public:
  explicit FontDC(const CWnd& window)
      : m_window(window.m_hWnd),
        m_dc(GetDC(m_window)),
        m_previous(SelectObject(m_dc, reinterpret_cast<HGDIOBJ>(window.SendMessage(WM_GETFONT)))) {}
  ~FontDC() {
    SelectObject(m_dc, m_previous);
    ReleaseDC(m_window, m_dc);
  }
  FontDC(const FontDC&) = delete;
  FontDC& operator=(const FontDC&) = delete;

  HDC get() const { return m_dc; }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA metrics = {};
    GetTextMetricsA(m_dc, &metrics);
    return metrics;
  }

 private:
  HWND m_window;
  HDC m_dc;
  HGDIOBJ m_previous;
};

}  // namespace

void CListBox::FitHorizontalExtent() const {
  FontDC dc(*this);
  int widest = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CString line = GetText(i);
    SIZE size = {};
    GetTextExtentPoint32A(dc.get(), line, line.GetLength(), &size);
    if (size.cx > widest) widest = size.cx;
  }
  SendMessage(LB_SETHORIZONTALEXTENT,
              static_cast<WPARAM>(widest + dc.Metrics().tmAveCharWidth));  // room for the margin
}

void CListBox::FitItemHeightToFont() const { SendMessage(LB_SETITEMHEIGHT, 0, FontDC(*this).Metrics().tmHeight); }

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
