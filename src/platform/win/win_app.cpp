#include "platform/win/win_app.h"

#include <commctrl.h>

#include "platform/ansi_text_win32.h"
#include "platform/win/framework_res.h"

int CWinApp::Run() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  InitInstance();
  return m_exitCode;
}

int AfxMessageBox(UINT messageId, UINT type) { return AfxMessageBox(LoadResString(messageId), type); }

int AfxMessageBox(const char* text, UINT type) {
  HWND owner = GetActiveWindow();
  return MessageBoxA(owner, text, LoadResString(AFX_IDS_APP_TITLE), type | MB_OK | (owner ? 0 : MB_TASKMODAL));
}

int AfxMessageBox(const wchar_t* text, UINT type) {
  HWND owner = GetActiveWindow();
  return MessageBoxW(owner, text, Widen(LoadResString(AFX_IDS_APP_TITLE).view()).c_str(),
                     type | MB_OK | (owner ? 0 : MB_TASKMODAL));
}
