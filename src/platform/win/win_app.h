#pragma once
// CWinApp and the framework helpers around it: string resources, message
// boxes titled with the program's title, and the wait cursor.

#include <windows.h>

#include "platform/cstring.h"
#include "platform/win/resources.h"

class CWinApp {
 public:
  virtual ~CWinApp() = default;

  // The whole program; it ends when this returns (false, as there is no
  // message loop to enter: every window runs its own modal loop).
  virtual bool InitInstance() = 0;
  // Registers the common controls, then runs InitInstance. Returns the
  // process's exit code.
  int Run();

 protected:
  int m_exitCode = 0;
};

// A string-table message with an OK button, titled with the program's
// string AFX_IDS_APP_TITLE. Modal to the active window of this thread, or
// to the whole thread.
int AfxMessageBox(UINT messageId, UINT type);
int AfxMessageBox(const char* text, UINT type);
int AfxMessageBox(const wchar_t* text, UINT type);  // for names the code page cannot spell

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
