#include "platform/win/wnd.h"

#include <vector>

CString CWnd::GetWindowText() const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  int got = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
  return CString(buffer.data(), got);
}
