#include "settings/converted_files.h"

#include <windows.h>

#include "platform/ansi_text_win32.h"
#include "platform/stored_path_win32.h"
#include "platform/win/unique_handle.h"
#include "schemes/wave_writer.h"

namespace {

// Room left for " (999).wav" and the folder's own separator.
constexpr std::size_t kSuffixRoom = 12;
constexpr int kMostNumbers = 999;
constexpr std::size_t kLongestStem = 64;

// A character the code page spells the same way back.
bool Spelled(wchar_t character) {
  CString unused;
  return character < 0x80 || SpelledInCodePage(std::wstring(1, character), 8, unused);
}

// The source's file name without its extension, each character the code
// page lacks turned into '_'.
std::wstring Stem(const std::wstring& source) {
  const std::size_t slash = source.find_last_of(L"\\/");
  std::wstring name = source.substr(slash == std::wstring::npos ? 0 : slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  if (name.size() > kLongestStem) name.resize(kLongestStem);
  for (wchar_t& character : name)
    if (!Spelled(character)) character = L'_';
  return name.empty() ? L"sound" : name;
}

}  // namespace

std::string SourceName(const std::wstring& source) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(source.c_str(), GetFileExInfoStandard, &data)) return std::string();
  std::wstring full = LongPath(source);
  if (full.empty()) full = source;
  CharUpperBuffW(&full[0], static_cast<DWORD>(full.size()));
  const ULONGLONG size = ULONGLONG{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
  const ULONGLONG written = ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
  int bytes = WideCharToMultiByte(CP_UTF8, 0, full.data(), static_cast<int>(full.size()), nullptr, 0, nullptr, nullptr);
  std::string name(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, full.data(), static_cast<int>(full.size()), &name[0], bytes, nullptr, nullptr);
  return name + '|' + std::to_string(size) + '|' + std::to_string(written);
}

ConvertedFile ConvertedFileFor(const CString& folder, const std::wstring& source, const std::string& sourceName) {
  const std::size_t room = MAX_PATH - 1 - kSuffixRoom;
  if (static_cast<std::size_t>(folder.GetLength()) >= room) return {};
  std::wstring wideStem = Stem(source);
  CString stem = Narrow(wideStem);
  while (static_cast<std::size_t>(folder.GetLength() + stem.GetLength()) > room) {
    wideStem.pop_back();  // whole characters: no lead byte is left alone
    stem = Narrow(wideStem);
  }
  for (int number = 1; number <= kMostNumbers; ++number) {
    CString path = folder + "\\" + stem;
    if (number > 1) path += " (" + std::to_string(number) + ")";
    path += ".wav";
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return {path, false};
    if (ReadSourceName(path) == sourceName) return {path, true};
  }
  return {};
}
