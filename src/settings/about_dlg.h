#pragma once

#include "platform/win/dialog.h"

// The version box.
class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(HWND parent = nullptr);
};
