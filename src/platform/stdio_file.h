#pragma once
// CStdioFile: a file held open for the whole run, as the settings file and
// its journal are: no other handle, in this process or another, may open it
// meanwhile (the journal lets others read it). It is read whole and
// rewritten whole or in place; the line breaks are the caller's.

#include <string>
#include <string_view>

#include "platform/os_file.h"

class CStdioFile {
 public:
  CStdioFile() = default;
  CStdioFile(const CStdioFile&) = delete;
  CStdioFile& operator=(const CStdioFile&) = delete;
  virtual ~CStdioFile();

  // Read-write, never truncated, created when missing; others may open it
  // meanwhile only to read, and only with Share::Reading. False when the
  // file is locked, read-only, or a folder.
  bool Open(const char* path, os_file::Share share = os_file::Share::Nothing);
  void Close();
  bool IsOpen() const { return m_handle != os_file::kInvalid; }

  long long GetLength() const { return os_file::Length(m_handle); }
  // The whole content; false on a read error.
  bool ReadAll(std::string& bytes) const { return os_file::ReadAll(m_handle, bytes); }
  // The content replaced in place by the pieces, one after the other; not
  // atomic, and not yet on the disk.
  bool Rewrite(std::initializer_list<std::string_view> pieces) { return os_file::Rewrite(m_handle, pieces); }
  bool Rewrite(std::string_view bytes) { return Rewrite({bytes}); }
  // `bytes` written over the content at `offset`; not yet on the disk.
  bool WriteAt(long long offset, std::string_view bytes) { return os_file::WriteAt(m_handle, offset, bytes); }
  // Forces what was written to the disk.
  bool Flush() { return os_file::Flush(m_handle); }

 private:
  os_file::Handle m_handle = os_file::kInvalid;
};
