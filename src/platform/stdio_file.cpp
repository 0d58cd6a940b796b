#include "platform/stdio_file.h"

CStdioFile::~CStdioFile() { Close(); }

bool CStdioFile::Open(const char* path) {
  Close();
  m_handle = os_file::OpenExclusive(path);
  return IsOpen();
}

void CStdioFile::Close() {
  if (!IsOpen()) return;
  os_file::Close(m_handle);
  m_handle = os_file::kInvalid;
}
