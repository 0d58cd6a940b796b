#include "platform/win/wnd.h"

#include <vector>

namespace {

HICON LoadSharedIcon(UINT id, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

void CWnd::CenterWindow() const {
  RECT window;
  GetWindowRect(m_hWnd, &window);
  HWND owner = GetWindow(m_hWnd, GW_OWNER);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT around = monitor.rcWork;
  if (owner && ::IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
  int width = window.right - window.left, height = window.bottom - window.top;
  const RECT& work = monitor.rcWork;
  int x = (around.left + around.right - width) / 2;
  int y = (around.top + around.bottom - height) / 2;
  x = x + width > work.right ? work.right - width : x;
  y = y + height > work.bottom ? work.bottom - height : y;
  x = x < work.left ? work.left : x;
  y = y < work.top ? work.top : y;
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

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
