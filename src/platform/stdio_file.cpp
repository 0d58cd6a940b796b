#include "platform/stdio_file.h"

#include <cstring>

#include "platform/os_file.h"

namespace {
constexpr size_t kReadChunk = 64 * 1024;
}

CStdioFile::~CStdioFile() { Close(); }

bool CStdioFile::Open(const char* path, unsigned flags) {
  Close();
  m_handle = os_file::OpenExclusive(path, (flags & modeCreate) != 0);
  return IsOpen();
}

void CStdioFile::Close() {
  if (!IsOpen()) return;
  os_file::Close(m_handle);
  m_handle = kNoHandle;
  m_buffer.clear();
  m_bufferPos = 0;
}

void CStdioFile::SeekToBegin() {
  m_buffer.clear();
  m_bufferPos = 0;
  os_file::SeekToBegin(m_handle);
}

bool CStdioFile::SetLength(long long length) {
  m_buffer.clear();
  m_bufferPos = 0;
  return os_file::Truncate(m_handle, length);
}

long long CStdioFile::GetLength() const { return os_file::Length(m_handle); }

bool CStdioFile::Flush() { return os_file::FlushToDisk(m_handle); }

bool CStdioFile::WriteString(const CString& text) {
  std::string bytes;
  bytes.reserve(text.str().size() + text.str().size() / 16);
  for (char c : text.str()) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  m_buffer.clear();
  m_bufferPos = 0;
  return os_file::WriteAll(m_handle, bytes.data(), bytes.size());
}

bool CStdioFile::FillBuffer() {
  m_buffer.resize(kReadChunk);
  m_bufferPos = 0;
  long got = os_file::Read(m_handle, m_buffer.data(), m_buffer.size());
  m_buffer.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return got > 0;
}

bool CStdioFile::ReadString(CString& line) {
  std::string text;
  bool readAnything = false;
  for (;;) {
    if (m_bufferPos >= m_buffer.size() && !FillBuffer()) break;
    readAnything = true;
    const char* begin = m_buffer.data() + m_bufferPos;
    size_t available = m_buffer.size() - m_bufferPos;
    const void* newline = std::memchr(begin, '\n', available);
    if (!newline) {
      text.append(begin, available);
      m_bufferPos = m_buffer.size();
      continue;
    }
    size_t length = static_cast<size_t>(static_cast<const char*>(newline) - begin);
    text.append(begin, length);
    m_bufferPos += length + 1;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    line = CString(std::move(text));
    return true;
  }
  line = CString(std::move(text));
  return readAnything;
}
