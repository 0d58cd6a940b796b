#pragma once
// CStdioFile: the settings file, held open exclusively for the whole run:
// no other handle, in this process or another, may open it meanwhile. It is
// read whole and rewritten whole; the line breaks are the caller's.

#include <string>
#include <string_view>

#include "platform/os_file.h"

class CStdioFile {
 public:
  CStdioFile() = default;
  CStdioFile(const CStdioFile&) = delete;
  CStdioFile& operator=(const CStdioFile&) = delete;
  virtual ~CStdioFile();

  // Read-write, never truncated, created when missing. False when the file
  // is locked, read-only, or a folder.
  bool Open(const char* path);
  void Close();
  bool IsOpen() const { return m_handle != os_file::kInvalid; }

  long long GetLength() const { return os_file::Length(m_handle); }
  // The whole content; false on a read error.
  bool ReadAll(std::string& bytes) const { return os_file::ReadAll(m_handle, bytes); }
  // The content replaced in place; not atomic, and not yet on the disk.
  bool Rewrite(std::string_view bytes) { return os_file::Rewrite(m_handle, bytes); }
  // Forces what was written to the disk.
  bool Flush() { return os_file::Flush(m_handle); }

 private:
  os_file::Handle m_handle = os_file::kInvalid;
};
