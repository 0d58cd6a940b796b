#include "platform/stdio_file.h"

CStdioFile::~CStdioFile() { Close(); }

bool CStdioFile::Open(const char* path, os_file::Share share) {
  Close();
  m_handle = os_file::OpenHeld(path, share);
  return IsOpen();
}

void CStdioFile::Close() {
  if (!IsOpen()) return;
  os_file::Close(m_handle);
  m_handle = os_file::kInvalid;
}
