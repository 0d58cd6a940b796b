#include "platform/registry.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "platform/stored_path_win32.h"

namespace {

HKEY AsKey(void* handle) { return static_cast<HKEY>(handle); }

}  // namespace

RegistryKey RegistryKey::OpenForRead(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  return RegistryKey(key);
}

RegistryKey RegistryKey::OpenForWrite(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
  return RegistryKey(key);
}

RegistryKey RegistryKey::Create(const char* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return {};
  return RegistryKey(key);
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    m_handle = other.m_handle;
    other.m_handle = nullptr;
  }
  return *this;
}

RegistryKey::~RegistryKey() { Close(); }

void RegistryKey::Close() {
  if (m_handle) RegCloseKey(AsKey(m_handle));
  m_handle = nullptr;
}

bool RegistryKey::EnumSubKey(int index, CString& name) const {
  char buffer[kBufferSize];
  DWORD size = sizeof buffer;
  if (RegEnumKeyExA(AsKey(m_handle), static_cast<DWORD>(index), buffer, &size, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS)
    return false;
  name = CString(buffer, static_cast<int>(size));
  return true;
}

RegistryKey::ReadResult RegistryKey::QueryString(const char* name, CString& value) const {
  value.Empty();
  char buffer[kBufferSize] = {};
  DWORD type = 0;
  DWORD size = sizeof buffer;
  LONG result = RegQueryValueExA(AsKey(m_handle), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (result == ERROR_MORE_DATA) return ReadResult::TooLong;
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return ReadResult::Missing;
  size_t length = strnlen(buffer, size);
  if (length == kBufferSize) return ReadResult::TooLong;  // no room was left for the NUL
  value = CString(buffer, static_cast<int>(length));
  return ReadResult::Ok;
}

RegistryKey::ReadResult RegistryKey::QueryText(const char* name, std::string& value) const {
  value.clear();
  DWORD type = 0;
  DWORD reported = 0;
  LONG result = RegQueryValueExA(AsKey(m_handle), name, nullptr, &type, nullptr, &reported);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return ReadResult::Missing;
  if (reported > kMostTextBytes) return ReadResult::TooLong;
  std::string buffer(std::size_t{reported} + 1, '\0');  // bounded above: no size here can wrap
  DWORD size = reported;
  result = RegQueryValueExA(AsKey(m_handle), name, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size);
  if (result == ERROR_MORE_DATA) return ReadResult::TooLong;  // it grew in between
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size > reported)
    return ReadResult::Missing;
  buffer.resize(strnlen(buffer.data(), size));
  if (buffer.size() >= kMostTextBytes) return ReadResult::TooLong;
  value = std::move(buffer);
  return ReadResult::Ok;
}

RegistryKey::ReadResult RegistryKey::QueryPath(CString& path) const {
  path.Empty();
  wchar_t buffer[MAX_PATH] = {};  // the short path of a value too long for the 128 bytes may still fit them
  DWORD type = 0;
  DWORD size = sizeof buffer;
  LONG result = RegQueryValueExW(AsKey(m_handle), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (result == ERROR_MORE_DATA) return ReadResult::TooLong;
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return ReadResult::Missing;
  std::wstring value(buffer, wcsnlen(buffer, size / sizeof(wchar_t)));
  if (value.size() == MAX_PATH) return ReadResult::TooLong;  // no room was left for the NUL
  if (value.empty()) return ReadResult::Ok;
  return ToStoredPath(value, kBufferSize, path) ? ReadResult::Ok : ReadResult::TooLong;
}

bool RegistryKey::SetString(const char* name, const char* value) const {
  return RegSetValueExA(AsKey(m_handle), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
}
