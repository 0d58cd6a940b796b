#pragma once
// Wrappers of the common controls, bound to dialog items by DDX_Control.
// Each call is the control's message; results are the control's.

#include <windows.h>
#include <commctrl.h>

#include <string_view>

#include "platform/cstring.h"
#include "platform/win/wnd.h"

class ListTextMeter;

class CButton : public CWnd {};

class CListBox : public CWnd {
 public:
  int AddString(const char* text) const {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int DeleteString(int index) const {
    return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
  }
  void ResetContent() const { SendMessage(LB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  CString GetText(int index) const;
  LPARAM GetItemData(int index) const { return SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
  void SetItemData(int index, LPARAM data) const { SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), data); }
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  void SetCurSel(int index) const { SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)); }
  // Multiple selection: one item, or all with index -1.
  void SetSel(int index, bool select) const { SendMessage(LB_SETSEL, select, index); }
  bool GetSel(int index) const { return SendMessage(LB_GETSEL, static_cast<WPARAM>(index)) > 0; }
  // Lets a list with a horizontal scroll bar scroll as far as its widest
  // line needs.
  void FitHorizontalExtent() const;
  // The same for the lines `meter` measured, sparing a message to the list
  // for each.
  void SetHorizontalExtent(const ListTextMeter& meter) const;
  // An owner-drawn list's lines as high as a line of its font.
  void FitItemHeightToFont() const;
};

// A window's own font selected into a device context of it, for measuring:
// its metrics, and the widest of the texts measured.
class ListTextMeter {
 public:
  explicit ListTextMeter(const CWnd& window);
  ~ListTextMeter();
  ListTextMeter(const ListTextMeter&) = delete;
  ListTextMeter& operator=(const ListTextMeter&) = delete;

  TEXTMETRICA Metrics() const;
  void Measure(std::string_view text);
  int Widest() const { return m_widest; }

 private:
  HWND m_window;
  HDC m_dc;
  HGDIOBJ m_previous;
  int m_widest = 0;
};

class CTreeCtrl : public CWnd {
 public:
  HTREEITEM InsertItem(const char* text, HTREEITEM parent, HTREEITEM after = TVI_LAST) const;
  void DeleteAllItems() const { SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }
  void SetItemData(HTREEITEM item, LPARAM data) const;
  LPARAM GetItemData(HTREEITEM item) const;
  void SetItemText(HTREEITEM item, const char* text) const;
  void SortChildren(HTREEITEM item) const { SendMessage(TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(item)); }
  void Expand(HTREEITEM item) const { SendMessage(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)); }
  void EnsureVisible(HTREEITEM item) const { SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)); }
  HTREEITEM GetSelectedItem() const { return Next(nullptr, TVGN_CARET); }
  HTREEITEM GetRootItem() const { return Next(nullptr, TVGN_ROOT); }

 private:
  HTREEITEM Next(HTREEITEM item, UINT relation) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
  }
};

class CSpinButtonCtrl : public CWnd {
 public:
  void SetRange(int lower, int upper) const { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
};
