#pragma once
// CStdioFile: a text-mode file. Lines are written with CR LF and read without
// their break (CR LF or a bare LF), whatever their length. The file is opened
// exclusively: no other handle, in this process or another, while it is open.

#include <cstdint>
#include <vector>

#include "platform/cstring.h"

class CStdioFile {
 public:
  // The framework's open flags that Belltide uses.
  enum OpenFlags : unsigned {
    modeReadWrite = 0x0002,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
  };

  CStdioFile() = default;
  CStdioFile(const CStdioFile&) = delete;
  CStdioFile& operator=(const CStdioFile&) = delete;
  virtual ~CStdioFile();

  // Read-write and never truncated; created when missing if `flags` has
  // modeCreate. False when the file is missing, locked or read-only.
  bool Open(const char* path, unsigned flags);
  void Close();
  bool IsOpen() const { return m_handle != kNoHandle; }

  void SeekToBegin();
  bool SetLength(long long length);  // the position moves to the new end
  long long GetLength() const;
  bool Flush();  // also forces the bytes to the disk

  // Writes `text` in one call, each "\n" as CR LF, at the position of the
  // last seek or write (not after a partial read). False if not all of it
  // reached the file.
  bool WriteString(const CString& text);

  // The next line without its break; false at the end of the file.
  bool ReadString(CString& line);

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  bool FillBuffer();

  std::intptr_t m_handle = kNoHandle;
  std::vector<char> m_buffer;
  size_t m_bufferPos = 0;
};
