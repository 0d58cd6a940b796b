#include "settings/wave_files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win/unique_handle.h"

namespace {

bool IsWaveName(const std::wstring& name) {
  return name.size() >= 4 && CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".wav", 4, TRUE) == CSTR_EQUAL;
}

bool NameLess(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

// The path in the ANSI code page, if it has every character and fits.
bool ToAnsi(const std::wstring& path, CString& ansi) {
  BOOL lossy = FALSE;
  BOOL* lossyOut = GetACP() == CP_UTF8 ? nullptr : &lossy;  // UTF-8 loses nothing and takes no flag
  int wide = static_cast<int>(path.size());
  int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), wide, nullptr, 0, nullptr, lossyOut);
  if (length <= 0 || length >= MAX_PATH || lossy) return false;
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), wide, &bytes[0], length, nullptr, nullptr);
  ansi = CString(std::move(bytes));
  return true;
}

void Keep(const std::wstring& path, WaveFiles& files) {
  CString ansi;
  if (ToAnsi(path, ansi))
    files.paths.push_back(ansi);
  else
    ++files.leftOut;
}

// Folders are walked with the \\?\ prefix, so that files below the path
// limit are still found, and counted when they cannot be kept.
std::wstring Extended(const std::wstring& path) {
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

std::wstring Plain(const std::wstring& extended) {
  if (extended.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + extended.substr(8);
  return extended.substr(4);
}

void AddFolder(const std::wstring& folder, WaveFiles& files) {
  std::vector<std::wstring> waves, subfolders;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!find) return;
  do {
    std::wstring name = found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != L"." && name != L".." && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        subfolders.push_back(name);
    } else if (IsWaveName(name)) {
      waves.push_back(name);
    }
  } while (FindNextFileW(find.get(), &found));
  std::sort(waves.begin(), waves.end(), NameLess);
  std::sort(subfolders.begin(), subfolders.end(), NameLess);
  for (const std::wstring& name : waves) Keep(Plain(folder + L"\\" + name), files);
  for (const std::wstring& name : subfolders) AddFolder(folder + L"\\" + name, files);
}

}  // namespace

WaveFiles CollectWaveFiles(const std::vector<std::wstring>& items) {
  WaveFiles files;
  for (const std::wstring& item : items) {
    DWORD attributes = GetFileAttributesW(item.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      std::wstring folder = item;  // C:\ becomes C:, whose files are then C:\name
      while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
      AddFolder(Extended(folder), files);
    } else if (IsWaveName(item)) {
      Keep(item, files);
    }
  }
  return files;
}

// The A dialog hands back a character the code page lacks as '?', which no
// file name holds.
WaveFiles ChosenFiles(const std::vector<CString>& paths) {
  WaveFiles files;
  for (const CString& path : paths) {
    if (path.Find('?') >= 0 || path.GetLength() >= MAX_PATH) {
      ++files.leftOut;
      continue;
    }
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) files.paths.push_back(path);
  }
  return files;
}
