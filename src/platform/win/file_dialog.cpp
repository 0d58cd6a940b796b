#include "platform/win/file_dialog.h"

#include <cstring>

#include "platform/mbcs.h"

CFileDialog::CFileDialog(const char* defaultExtension, const char* fileName, DWORD flags, const CString& filter)
    : m_defaultExtension(defaultExtension), m_fileName(fileName), m_flags(flags), m_filter(filter) {}

INT_PTR CFileDialog::DoModal() {
  // The dialog wants NUL-separated pairs; '|' found as a character, not as
  // the trail byte of a double-byte one.
  std::string filter = m_filter.str();
  for (int at = m_filter.Find('|'); at >= 0; at = m_filter.Find('|', at + 1)) filter[static_cast<size_t>(at)] = '\0';
  filter += '\0';

  // Room for thousands of names chosen at once.
  std::vector<char> names(1 << 20, '\0');
  m_fileName.str().copy(names.data(), names.size() - 2);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = names.data();
  dialog.nMaxFile = static_cast<DWORD>(names.size());
  dialog.lpstrInitialDir = m_initialFolder.IsEmpty() ? nullptr : static_cast<const char*>(m_initialFolder);
  dialog.lpstrDefExt = m_defaultExtension;
  dialog.Flags = m_flags | OFN_NOCHANGEDIR | OFN_EXPLORER;
  m_paths.clear();
  if (!GetOpenFileNameA(&dialog)) return IDCANCEL;

  // One file: its full path. Several: the folder, then each name, each
  // ended by a NUL, the list by a second one.
  const char* first = names.data();
  const char* name = first + std::strlen(first) + 1;
  if (*name == '\0') {
    m_paths.emplace_back(first);
  } else {
    CString folder(first);
    int last = folder.GetLength() - 1;  // a root such as C:\ ends in its backslash already; 'ソ' ends in 0x5C too
    bool endsInBackslash = last >= 0 && folder[last] == '\\' && mbcs::BoundaryAtOrBefore(folder, last + 1, last) == last;
    if (!endsInBackslash) folder += '\\';
    for (; *name; name += std::strlen(name) + 1) m_paths.push_back(folder + name);
  }
  return IDOK;
}
