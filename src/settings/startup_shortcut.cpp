#include "settings/startup_shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/stored_path_win32.h"
#include "platform/win/system_error.h"
#include "platform/win/unique_handle.h"

namespace {

// COM for this thread while it lives, if no one has it yet.
class ComScope {
 public:
  ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (SUCCEEDED(m_result)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT m_result;
};

std::wstring StartupFolder(int create = 0) {
  wchar_t path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_STARTUP | create, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

std::wstring ProgramPath() {
  std::vector<wchar_t> path(MAX_PATH);
  DWORD length;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
    path.resize(path.size() * 2);
  return std::wstring(path.data(), length);
}

UniqueCom<IShellLinkW> NewShellLink() {
  IShellLinkW* link = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link));
  return UniqueCom<IShellLinkW>(link);
}

UniqueCom<IPersistFile> FileOf(const UniqueCom<IShellLinkW>& link) {
  IPersistFile* file = nullptr;
  if (link) link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  return UniqueCom<IPersistFile>(file);
}

// The .lnk files of the Startup folder, with their full paths.
std::vector<std::wstring> StartupLinks() {
  std::vector<std::wstring> links;
  std::wstring folder = StartupFolder();
  if (folder.empty()) return links;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((folder + L"\\*.lnk").c_str(), &found));
  if (!find) return links;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) links.push_back(folder + L"\\" + found.cFileName);
  } while (FindNextFileW(find.get(), &found));
  return links;
}

}  // namespace

StartupShortcut::StartupShortcut(std::wstring folder) : m_program(ProgramPath()), m_folder(std::move(folder)) {}

bool StartupShortcut::IsOurs(const std::wstring& path, bool* current) const {
  UniqueCom<IShellLinkW> link = NewShellLink();
  UniqueCom<IPersistFile> file = FileOf(link);
  if (!file || FAILED(file.get()->Load(path.c_str(), STGM_READ))) return false;
  wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, arguments[MAX_PATH] = {};
  bool ours = SUCCEEDED(link.get()->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
              SUCCEEDED(link.get()->GetWorkingDirectory(folder, MAX_PATH)) && SamePath(target, m_program) &&
              SamePath(folder, m_folder);
  if (ours && current)
    *current = SUCCEEDED(link.get()->GetArguments(arguments, MAX_PATH)) &&
               CompareStringOrdinal(arguments, -1, kLogonSwitch, -1, TRUE) == CSTR_EQUAL;
  return ours;
}

bool StartupShortcut::Exists(bool* current) const {
  ComScope com;
  for (const std::wstring& link : StartupLinks())
    if (IsOurs(link, current)) return true;
  return false;
}

// Ours are removed first: one made by an earlier version, without the
// log-on switch, gives way to a new one.
bool StartupShortcut::Set(bool exists, std::wstring& reason) const {
  ComScope com;
  for (const std::wstring& link : StartupLinks()) {
    if (IsOurs(link) && !DeleteFileW(link.c_str())) {
      reason = SystemErrorText(GetLastError());
      return false;
    }
  }
  if (!exists) return true;

  std::wstring folder = StartupFolder(CSIDL_FLAG_CREATE);
  if (folder.empty()) {
    reason = SystemErrorText(ERROR_PATH_NOT_FOUND);
    return false;
  }
  // Belltide.lnk, or Belltide (2).lnk ... when a copy in another folder has that name
  std::wstring path = folder + L"\\Belltide.lnk";
  for (int n = 2; GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
    path = folder + L"\\Belltide (" + std::to_wstring(n) + L").lnk";

  UniqueCom<IShellLinkW> link = NewShellLink();
  UniqueCom<IPersistFile> file = FileOf(link);
  HRESULT result = file ? S_OK : E_NOINTERFACE;
  if (SUCCEEDED(result)) result = link.get()->SetPath(m_program.c_str());
  if (SUCCEEDED(result)) result = link.get()->SetWorkingDirectory(m_folder.c_str());
  if (SUCCEEDED(result)) result = link.get()->SetArguments(kLogonSwitch);
  if (SUCCEEDED(result)) result = file.get()->Save(path.c_str(), TRUE);
  if (SUCCEEDED(result)) return true;
  reason =
      SystemErrorText(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result));
  return false;
}
