#include "floors_win.h"

#include <windows.h>

#include <memory>

#include "win_handles.h"

namespace {

bool SetDefaultValue(HKEY key, const std::string& value) {
  return RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

bool CopyAndReadOnce(const std::string& file, const std::string& copy) {
  if (!CopyFileA(file.c_str(), copy.c_str(), FALSE)) return false;
  UniqueFile input(
      CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!input || !GetFileSizeEx(input.get(), &size)) return false;
  // Fresh memory, as a loader has; not cleared, which a read does not need.
  DWORD length = static_cast<DWORD>(size.QuadPart);
  std::unique_ptr<char[]> bytes(new char[length + 1]);
  DWORD got = 0;
  return ReadFile(input.get(), bytes.get(), length, &got, nullptr) && got == length;
}

bool ReadOnceWriteAndFlushOnce(const std::string& file, const std::string& copy) {
  std::string bytes;
  {
    UniqueFile input(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!input || !GetFileSizeEx(input.get(), &size)) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(input.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
      return false;
  }
  return WriteWholeFile(copy, bytes, true);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, bool flush) {
  UniqueFile output(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return output && WriteFile(output.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && (!flush || FlushFileBuffers(output.get()));
}

bool WriteSoundsDirectly(const std::vector<SoundWrite>& writes) {
  bool ok = true;
  {
    HKEY raw = nullptr;
    ok = RegOpenKeyExA(HKEY_CURRENT_USER, "AppEvents\\Schemes", 0, KEY_ALL_ACCESS, &raw) == ERROR_SUCCESS;
    UniqueKey schemes(raw);
    ok = ok && SetDefaultValue(schemes.get(), ".Current");
  }
  for (const SoundWrite& write : writes) {
    HKEY raw = nullptr;
    bool created = RegCreateKeyExA(HKEY_CURRENT_USER, write.keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                   &raw, nullptr) == ERROR_SUCCESS;
    UniqueKey key(raw);
    ok = created && SetDefaultValue(key.get(), write.value) && ok;
  }
  return ok;
}
