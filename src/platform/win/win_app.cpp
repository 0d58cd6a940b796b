#include "platform/win/win_app.h"

#include <commctrl.h>

#include <vector>

#include "platform/file_path.h"
#include "platform/win/framework_res.h"

namespace {

// The program's title from its string table; without one, the name of the
// executable without its extension.
CString AppTitle() {
  CString title = LoadResString(AFX_IDS_APP_TITLE);
  if (!title.IsEmpty()) return title;
  std::vector<char> path(MAX_PATH);
  DWORD length;
  while ((length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
    path.resize(path.size() * 2);
  CString file(path.data(), static_cast<int>(length));
  CString name = file.Mid(SiblingPath(file, "").GetLength());
  int dot = -1;
  for (int at = name.Find('.'); at >= 0; at = name.Find('.', at + 1)) dot = at;
  return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

int CWinApp::Run() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  InitInstance();
  return m_exitCode;
}

int AfxMessageBox(UINT messageId, UINT type) { return AfxMessageBox(LoadResString(messageId), type); }

int AfxMessageBox(const char* text, UINT type) {
  HWND owner = GetActiveWindow();
  return MessageBoxA(owner, text, AppTitle(), type | MB_OK | (owner ? 0 : MB_TASKMODAL));
}
