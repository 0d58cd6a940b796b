#include "platform/stored_path_win32.h"

#include <windows.h>

#include <unordered_map>

#include "platform/ansi_text_win32.h"
#include "platform/mbcs.h"
#include "platform/stored_path.h"
#include "platform/win/unique_handle.h"

namespace {

std::wstring Plain(const std::wstring& path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

// GetShortPathNameW or GetLongPathNameW of `path`; empty when it is not there.
std::wstring OtherForm(DWORD(WINAPI* form)(LPCWSTR, LPWSTR, DWORD), const std::wstring& path) {
  DWORD size = form(path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring result(size, L'\0');
  DWORD length = form(path.c_str(), &result[0], size);
  if (length == 0 || length >= size) return {};  // renamed between the calls
  result.resize(length);
  return result;
}

std::wstring UpperAscii(std::wstring text) {
  for (wchar_t& ch : text) {
    if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - L'a' + L'A');
  }
  return text;
}

// A folder as its listing tells it: its long path, ending in a backslash
// (empty when the folder is not there), and the long name of each entry by
// its short name in upper case.
struct Listing {
  std::wstring longPath;
  std::unordered_map<std::wstring, std::wstring> longNames;
};

Listing Read(const std::wstring& folder) {
  Listing listing;
  listing.longPath = LongPath(folder);
  if (listing.longPath.empty()) return listing;
  if (listing.longPath.back() != L'\\') listing.longPath += L'\\';
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((listing.longPath + L'*').c_str(), &found));
  if (!find) return listing;
  do {
    if (found.cAlternateFileName[0]) listing.longNames[UpperAscii(found.cAlternateFileName)] = found.cFileName;
  } while (FindNextFileW(find.get(), &found));
  return listing;
}

}  // namespace

struct SameFileKeys::Folders {
  std::unordered_map<std::wstring, Listing> listings;  // by the folder as met, in upper case

  // The long path of `path`: its folder's by GetLongPathNameW, its name's by
  // the folder's listing.
  std::wstring LongPath(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return path;
    std::wstring folder = path.substr(0, slash + 1);
    auto at = listings.find(UpperAscii(folder));
    if (at == listings.end()) at = listings.emplace(UpperAscii(folder), Read(folder)).first;
    const Listing& listing = at->second;
    if (listing.longPath.empty()) return path;
    std::wstring name = path.substr(slash + 1);
    auto longName = listing.longNames.find(UpperAscii(name));
    return listing.longPath + (longName == listing.longNames.end() ? name : longName->second);
  }
};

bool SamePath(std::wstring a, std::wstring b) {
  for (std::wstring* path : {&a, &b})
    while (path->size() > 3 && path->back() == L'\\') path->pop_back();
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::wstring ShortPath(const std::wstring& path) { return OtherForm(GetShortPathNameW, path); }

std::wstring LongPath(const std::wstring& path) { return OtherForm(GetLongPathNameW, path); }

bool SpelledInCodePage(const std::wstring& text, int limit, CString& ansi) {
  bool utf8 = GetACP() == CP_UTF8;  // spells everything, and takes neither the flag nor the report
  DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  int wide = static_cast<int>(text.size());
  int length = WideCharToMultiByte(CP_ACP, flags, text.c_str(), wide, nullptr, 0, nullptr, utf8 ? nullptr : &lossy);
  if (length <= 0 || length >= limit || lossy) return false;
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.c_str(), wide, &bytes[0], length, nullptr, nullptr);
  ansi = CString(std::move(bytes));
  return true;
}

bool ToStoredPath(const std::wstring& path, int limit, CString& stored, const std::wstring* shortPath) {
  return SpelledInCodePage(Plain(path), limit, stored) ||
         SpelledInCodePage(Plain(shortPath ? *shortPath : ShortPath(path)), limit, stored);
}

SameFileKeys::SameFileKeys() : m_folders(std::make_unique<Folders>()) {}
SameFileKeys::~SameFileKeys() = default;

// A generated short name always holds a '~': only such paths can differ from
// the long path of their file, and only they are looked up.
std::string SameFileKeys::Of(std::string_view path) {
  CString key(path);
  if (mbcs::FindChar(path.data(), static_cast<int>(path.size()), 0, '~') >= 0)
    SpelledInCodePage(m_folders->LongPath(Widen(path)), MAX_PATH, key);
  return mbcs::LowerAscii(key, key.GetLength());
}
