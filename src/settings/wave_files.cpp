#include "settings/wave_files.h"

#include <windows.h>

#include <algorithm>

#include "platform/stored_path_win32.h"
#include "platform/win/unique_handle.h"
#include "res/resource.h"
#include "schemes/wave_check.h"
#include "settings/check_reasons.h"

namespace {

bool EndsWith(const std::wstring& name, const wchar_t* extension) {
  const int length = lstrlenW(extension);
  return name.size() >= static_cast<std::size_t>(length) &&
         CompareStringOrdinal(name.c_str() + name.size() - length, length, extension, length, TRUE) == CSTR_EQUAL;
}

bool IsWaveName(const std::wstring& name) { return EndsWith(name, L".wav"); }

// Formats Windows decodes through Media Foundation, from Windows 7 on.
bool IsSoundName(const std::wstring& name) {
  for (const wchar_t* extension : {L".mp3", L".m4a", L".aac", L".wma", L".flac", L".ogg"})
    if (EndsWith(name, extension)) return true;
  return false;
}

// An entry of a folder's listing by both its names; the short one is the
// long one where the listing gives no other.
struct Entry {
  std::wstring name;
  std::wstring shortName;
};

bool NameLess(const Entry& a, const Entry& b) {
  return CompareStringOrdinal(a.name.c_str(), -1, b.name.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

// The path a user would recognise: without the prefix of a folder walk.
std::wstring Shown(const std::wstring& path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

// `shortPath`, when given, spares the look-up of the short path.
void Keep(const std::wstring& path, WaveFiles& files, const std::wstring* shortPath = nullptr) {
  CString stored;
  if (!ToStoredPath(path, MAX_PATH, stored, shortPath)) {
    files.leftOut.push_back({Shown(path), IDS_REASON_PATH});
    return;
  }
  const WaveCheck check = CheckWaveHeader(stored);
  if (check == WaveCheck::Playable)
    files.paths.push_back(stored);
  else
    files.leftOut.push_back({Shown(path), ReasonOf(check)});
}

// Folders are walked with the \\?\ prefix, so that files below the path
// limit are still found, and kept by their short paths when those fit.
std::wstring Extended(const std::wstring& path) {
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

// The walk keeps the short path beside the long one, from the listings, so
// that a name the code page cannot spell costs no look-up.
void AddFolder(const std::wstring& folder, const std::wstring& shortFolder, WaveFiles& files) {
  std::vector<Entry> waves, sounds, subfolders;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!find) return;
  do {
    Entry entry{found.cFileName, found.cAlternateFileName[0] ? found.cAlternateFileName : found.cFileName};
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (entry.name != L"." && entry.name != L".." && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        subfolders.push_back(entry);
    } else if (IsWaveName(entry.name)) {
      waves.push_back(entry);
    } else if (IsSoundName(entry.name)) {
      sounds.push_back(entry);
    }
  } while (FindNextFileW(find.get(), &found));
  std::sort(waves.begin(), waves.end(), NameLess);
  std::sort(sounds.begin(), sounds.end(), NameLess);
  std::sort(subfolders.begin(), subfolders.end(), NameLess);
  for (const Entry& wave : waves) {
    std::wstring shortPath = shortFolder + L"\\" + wave.shortName;
    Keep(folder + L"\\" + wave.name, files, &shortPath);
  }
  for (const Entry& sound : sounds) files.toConvert.push_back(Shown(folder + L"\\" + sound.name));
  for (const Entry& subfolder : subfolders)
    AddFolder(folder + L"\\" + subfolder.name, shortFolder + L"\\" + subfolder.shortName, files);
}

}  // namespace

WaveFiles CollectWaveFiles(const std::vector<std::wstring>& items) {
  WaveFiles files;
  for (const std::wstring& item : items) {
    DWORD attributes = GetFileAttributesW(item.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      std::wstring folder = item;  // C:\ becomes C:, whose files are then C:\name
      while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
      std::wstring extended = Extended(folder), shortFolder = ShortPath(extended);
      AddFolder(extended, shortFolder.empty() ? extended : shortFolder, files);
    } else if (IsWaveName(item)) {
      Keep(item, files);
    } else if (IsSoundName(item)) {
      files.toConvert.push_back(item);
    }
  }
  return files;
}

WaveFiles ChosenFiles(const std::vector<std::wstring>& paths) {
  WaveFiles files;
  for (const std::wstring& path : paths) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    CString stored;
    if (IsWaveName(path))
      Keep(path, files);
    else if (ToStoredPath(path, MAX_PATH, stored) && CheckWaveHeader(stored) == WaveCheck::Playable)
      files.paths.push_back(stored);  // a wave file by another name
    else
      files.toConvert.push_back(path);
  }
  return files;
}
