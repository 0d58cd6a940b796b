#pragma once
// CFileDialog: the shell's file-open dialog.

#include <windows.h>
#include <commdlg.h>

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
  void SetInitialFolder(const CString& folder) { m_initialFolder = folder; }
  // The full path of each file chosen, in the dialog's order.
  const std::vector<CString>& GetPathNames() const { return m_paths; }

 private:
  CString m_defaultExtension;
  CString m_fileName;
  DWORD m_flags;
  CString m_filter;
  CString m_initialFolder;
  std::vector<CString> m_paths;
};
