#pragma once
// CFileDialog: the shell's file-open dialog, in its wide form, so that a name
// comes whole whatever characters it holds.

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "platform/cstring.h"

class CFileDialog {
 public:
  // `filter` as the framework takes it: "text|pattern|text|pattern|".
  CFileDialog(const char* defaultExtension, const char* fileName, DWORD flags, const CString& filter);
  // IDOK when files were chosen. The process's working directory is kept:
  // the settings files are found through it.
  INT_PTR DoModal();
  // The folder the next DoModal opens in.
  void SetInitialFolder(const std::wstring& folder) { m_initialFolder = folder; }
  // The full path of each file chosen, in the dialog's order.
  const std::vector<std::wstring>& GetPathNames() const { return m_paths; }

 private:
  std::wstring m_defaultExtension;
  std::wstring m_fileName;
  DWORD m_flags;
  std::wstring m_filter;
  std::wstring m_initialFolder;
  std::vector<std::wstring> m_paths;
};
