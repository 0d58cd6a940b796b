#include "platform/win/wnd.h"

#include <vector>

namespace {

HICON LoadSharedIcon(UINT id, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

HICON CWnd::SetIcons(UINT id) const {
  HICON big = LoadSharedIcon(id, SM_CXICON, SM_CYICON);
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadSharedIcon(id, SM_CXSMICON, SM_CYSMICON)));
  return big;
}

CString CWnd::GetWindowText() const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  int got = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
  return CString(buffer.data(), got);
}
