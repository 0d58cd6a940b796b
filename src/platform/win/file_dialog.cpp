#include "platform/win/file_dialog.h"

#include <vector>

CFileDialog::CFileDialog(const char* defaultExtension, const char* fileName, DWORD flags, const CString& filter)
    : m_defaultExtension(defaultExtension), m_fileName(fileName), m_flags(flags), m_filter(filter) {}

INT_PTR CFileDialog::DoModal() {
  // The dialog wants NUL-separated pairs; '|' found as a character, not as
  // the trail byte of a double-byte one.
  std::string filter = m_filter.str();
  for (int at = m_filter.Find('|'); at >= 0; at = m_filter.Find('|', at + 1)) filter[static_cast<size_t>(at)] = '\0';
  filter += '\0';

  std::vector<char> path(32768, '\0');
  m_fileName.str().copy(path.data(), path.size() - 1);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrDefExt = m_defaultExtension;
  dialog.Flags = m_flags | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!GetOpenFileNameA(&dialog)) return IDCANCEL;
  m_path = CString(path.data());
  return IDOK;
}
