#pragma once
// The registry below HKEY_CURRENT_USER, as Belltide uses it: ANSI names and
// REG_SZ values passed through 128-byte buffers. Two backends keep one
// contract: the Win32 registry, and an in-memory tree for tests and
// non-Windows builds (key names without regard to case, subkeys enumerated
// in sorted order).

#include <string>

#include "platform/cstring.h"

class RegistryKey {
 public:
  static constexpr int kBufferSize = 128;  // names and values, NUL included

  enum class ReadResult { Ok, Missing, TooLong };

  static RegistryKey OpenForRead(const char* path);   // KEY_READ
  static RegistryKey OpenForWrite(const char* path);  // KEY_ALL_ACCESS; never created
  static RegistryKey Create(const char* path);        // KEY_ALL_ACCESS; created when missing

  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey();

  explicit operator bool() const { return m_handle != nullptr; }

  // Name of the subkey at `index`. False at the end of the enumeration and
  // on any failure, a name of 128 bytes or more included: callers stop there.
  bool EnumSubKey(int index, CString& name) const;

  // The string value `name` ("" or nullptr: the default value). On anything
  // but Ok, `value` is left empty.
  ReadResult QueryString(const char* name, CString& value) const;

  // The string value `name` of up to kMostTextBytes bytes: a longer one is
  // TooLong, and the size the registry reports is checked against that bound
  // before any buffer is sized from it. On anything but Ok, `value` is left
  // empty.
  static constexpr unsigned kMostTextBytes = 32 * 1024;
  ReadResult QueryText(const char* name, std::string& value) const;

  // The default value as a path to store: where the code page cannot spell
  // it or it does not fit, the short path of its file (else TooLong).
  ReadResult QueryPath(CString& path) const;

  // Writes `value` as REG_SZ of its length plus the NUL.
  bool SetString(const char* name, const char* value) const;

 private:
  explicit RegistryKey(void* handle) : m_handle(handle) {}
  void Close();

  void* m_handle = nullptr;
};
