#include "platform/win/win_app.h"

#include <commctrl.h>

#include <vector>

namespace {

// The executable's file name without its extension.
CString ProgramTitle() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  CString name(path);
  int slash = -1;
  for (int at = name.Find('\\'); at >= 0; at = name.Find('\\', at + 1)) slash = at;
  name = name.Mid(slash + 1);
  int dot = -1;
  for (int at = name.Find('.'); at >= 0; at = name.Find('.', at + 1)) dot = at;
  return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

int CWinApp::Run() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  InitInstance();
  return 0;
}

CString LoadResString(UINT id) {
  // The string table holds UTF-16; the A function converts to the ANSI code page.
  std::vector<char> buffer(1024);
  for (;;) {
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer.data(), static_cast<int>(buffer.size()));
    if (length < static_cast<int>(buffer.size()) - 2) return CString(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

int AfxMessageBox(UINT messageId, UINT type) { return AfxMessageBox(LoadResString(messageId), type); }

int AfxMessageBox(const char* text, UINT type) {
  HWND owner = GetActiveWindow();
  return MessageBoxA(owner, text, ProgramTitle(), type | MB_OK | (owner ? 0 : MB_TASKMODAL));
}
