#pragma once
// CFileDialog: the shell's file-open dialog.

#include <windows.h>
#include <commdlg.h>

#include "platform/cstring.h"

class CFileDialog {
 public:
  // `filter` as the framework takes it: "text|pattern|text|pattern|".
  CFileDialog(const char* defaultExtension, const char* fileName, DWORD flags, const CString& filter);
  // IDOK when a file was chosen. The process's working directory is kept:
  // the settings files are found through it.
  INT_PTR DoModal();
  CString GetPathName() const { return m_path; }

 private:
  CString m_defaultExtension;
  CString m_fileName;
  DWORD m_flags;
  CString m_filter;
  CString m_path;
};
