#pragma once
// CWinApp and the framework helpers around it: string resources, message
// boxes titled with the program's name, and the wait cursor.

#include <windows.h>

#include "platform/cstring.h"

class CWnd;

class CWinApp {
 public:
  CWinApp() = default;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp() = default;

  // Runs the program; a false result ends it without a message loop.
  virtual BOOL InitInstance() = 0;
  int Run();

  CWnd* m_pMainWnd = nullptr;
};

// A string from the module's string table, in the ANSI code page.
CString LoadResString(UINT id);

// A string-table message with an OK button, titled with the executable's
// name. Modal to the active window of this thread, or to the whole thread.
int AfxMessageBox(UINT messageId, UINT type);
int AfxMessageBox(const char* text, UINT type);

// Shows the hourglass for its lifetime.
class CWaitCursor {
 public:
  CWaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
  ~CWaitCursor() { SetCursor(m_previous); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  HCURSOR m_previous;
};
