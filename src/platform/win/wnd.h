#pragma once
// CWnd: a borrowed window handle with the calls Belltide makes on it. The
// controls are CWnds bound to a dialog's items by DDX_Control.

#include <windows.h>

#include "platform/cstring.h"

class CWnd {
 public:
  HWND m_hWnd = nullptr;

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
  CString GetWindowText() const;
  void EnableWindow(bool enable) const { ::EnableWindow(m_hWnd, enable); }
  void ShowWindow(int command) const { ::ShowWindow(m_hWnd, command); }
  bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  // Icon resource `id` as the window's big and small icon, each loaded at
  // its own size; returns the big one (shared, never to be destroyed).
  HICON SetIcons(UINT id) const;
  // Moves the window to the middle of its visible owner, or of the work
  // area of its monitor when it has none; always inside that work area.
  void CenterWindow() const;
};

class CEdit : public CWnd {};
