#include "settings/candidate_list.h"

#include <commctrl.h>

#include "settings/check_reasons.h"

namespace {

// A candidate line's item data: 0 until its file is checked, then this.
LPARAM CheckedState(WaveCheck check) { return static_cast<LPARAM>(check) + 1; }

// The list box accepts the drop; the dialog handles it.
LRESULT CALLBACK ForwardDrops(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_DROPFILES) return SendMessageA(GetParent(window), message, wParam, lParam);
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void CCandidateList::ForwardDropsToParent() const { SetWindowSubclass(m_hWnd, ForwardDrops, 0, 0); }

void CCandidateList::ShowPrompt(const char* prompt) const {
  ResetContent();
  AddString(prompt);
  SetItemData(0, CheckedState(WaveCheck::Playable));  // no file to look for
  FitHorizontalExtent();
  EnableWindow(false);
}

void CCandidateList::Fill(const EventEntry& entry) const {
  SendMessage(WM_SETREDRAW, FALSE);
  ResetContent();
  SendMessage(LB_INITSTORAGE, static_cast<WPARAM>(entry.count > 0 ? entry.count : 0),
              static_cast<LPARAM>(entry.files.GetLength()));
  entry.ForEachCandidate([&](std::string_view candidate) { AddString(CString(candidate)); });
  FitExtent(entry);
  SendMessage(WM_SETREDRAW, TRUE);
  InvalidateRect(m_hWnd, nullptr, TRUE);
}

// Only lines drawn are checked: a pool of thousands costs what is in view.
CString CCandidateList::Remark(int line) const {
  LPARAM state = GetItemData(line);
  if (state == LB_ERR) return CString();
  if (state == 0) {
    state = CheckedState(CheckWaveFile(GetText(line).Mid(1)));
    SetItemData(line, state);
  }
  const WaveCheck check = static_cast<WaveCheck>(state - 1);
  return check == WaveCheck::Playable ? CString() : ::Remark(ReasonOf(check));
}

// The stored path, greyed with its remark when Windows may not play it.
// A remark wider than the list's extent widens it, once this paint is done.
void CCandidateList::DrawItem(const DRAWITEMSTRUCT& item) const {
  if (item.itemID != static_cast<UINT>(-1)) {
    const int line = static_cast<int>(item.itemID);
    const bool enabled = IsWindowEnabled(m_hWnd) != FALSE;
    const bool selected = (item.itemState & ODS_SELECTED) != 0 && enabled;
    const CString remark = enabled ? Remark(line) : CString();
    const CString text = GetText(line) + remark;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(item.hDC, TRANSPARENT);
    int color = selected ? COLOR_HIGHLIGHTTEXT : !enabled || !remark.IsEmpty() ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
    SetTextColor(item.hDC, GetSysColor(color));
    RECT bounds = item.rcItem;
    bounds.left += GetSystemMetrics(SM_CXEDGE);
    DrawTextA(item.hDC, text, text.GetLength(), &bounds, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (!remark.IsEmpty()) {
      SIZE size = {};
      GetTextExtentPoint32A(item.hDC, text, text.GetLength(), &size);
      const LRESULT wanted = size.cx + 2 * GetSystemMetrics(SM_CXEDGE);
      if (wanted > SendMessage(LB_GETHORIZONTALEXTENT))
        PostMessageA(m_hWnd, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(wanted), 0);
    }
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

// Measured from the pool's own strings: a message to the list for each line
// costs far more under Wine than the measure itself.
void CCandidateList::FitExtent(const EventEntry& entry) const {
  ListTextMeter meter(*this);
  entry.ForEachCandidate([&](std::string_view candidate) { meter.Measure(candidate); });
  SetHorizontalExtent(meter);
}
