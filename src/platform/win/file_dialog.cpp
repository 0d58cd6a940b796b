#include "platform/win/file_dialog.h"

#include <cwchar>

#include "platform/ansi_text_win32.h"

CFileDialog::CFileDialog(const char* defaultExtension, const char* fileName, DWORD flags, const CString& filter)
    : m_defaultExtension(Widen(defaultExtension)),
      m_fileName(Widen(fileName)),
      m_flags(flags),
      m_filter(Widen(filter.view())) {}

INT_PTR CFileDialog::DoModal() {
  // The dialog wants NUL-separated pairs.
  std::wstring filter = m_filter;
  for (wchar_t& ch : filter) {
    if (ch == L'|') ch = L'\0';
  }
  filter += L'\0';

  // Room for thousands of names chosen at once.
  std::vector<wchar_t> names(1 << 20, L'\0');
  m_fileName.copy(names.data(), names.size() - 2);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = names.data();
  dialog.nMaxFile = static_cast<DWORD>(names.size());
  dialog.lpstrInitialDir = m_initialFolder.empty() ? nullptr : m_initialFolder.c_str();
  dialog.lpstrDefExt = m_defaultExtension.c_str();
  dialog.Flags = m_flags | OFN_NOCHANGEDIR | OFN_EXPLORER;
  m_paths.clear();
  if (!GetOpenFileNameW(&dialog)) return IDCANCEL;

  // One file: its full path. Several: the folder, then each name, each
  // ended by a NUL, the list by a second one.
  const wchar_t* first = names.data();
  const wchar_t* name = first + std::wcslen(first) + 1;
  if (*name == L'\0') {
    m_paths.emplace_back(first);
  } else {
    std::wstring folder(first);
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';  // a root such as C:\ ends in it already
    for (; *name; name += std::wcslen(name) + 1) m_paths.push_back(folder + name);
  }
  return IDOK;
}
