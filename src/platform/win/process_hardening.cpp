#include "platform/win/process_hardening.h"

#include <string>

namespace {

FARPROC Kernel32Export(const char* name) { return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name); }

// Windows 8 and later, and Vista and 7 with KB2533623.
bool HasSearchFlags() { return Kernel32Export("AddDllDirectory") != nullptr; }

HMODULE LoadFromSystemFolder(const wchar_t* library) {
  if (HasSearchFlags()) return LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  // The DLL's own imports are then looked for in its folder first.
  std::wstring path = std::wstring(folder, length) + L'\\' + library;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void HardenProcess() {
  HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
  auto setDefaultDirectories =
      AsFunction<decltype(&SetDefaultDllDirectories)>(Kernel32Export("SetDefaultDllDirectories"));
  if (!setDefaultDirectories || !setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

FARPROC SystemExport(const wchar_t* library, const char* name) {
  HMODULE module = LoadFromSystemFolder(library);
  return module ? GetProcAddress(module, name) : nullptr;
}
