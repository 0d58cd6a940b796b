#include "platform/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/mbcs.h"

namespace {

size_t Clamp(int value, size_t limit) {
  if (value < 0) return 0;
  return static_cast<size_t>(value) < limit ? static_cast<size_t>(value) : limit;
}

}  // namespace

CString CString::Left(int count) const { return CString(m_text.substr(0, Clamp(count, m_text.size()))); }

CString CString::Mid(int first) const { return CString(m_text.substr(Clamp(first, m_text.size()))); }

CString CString::Mid(int first, int count) const {
  size_t begin = Clamp(first, m_text.size());
  return CString(m_text.substr(begin, Clamp(count, m_text.size() - begin)));
}

int CString::Find(char ch, int start) const {
  return mbcs::FindChar(m_text.data(), GetLength(), start < 0 ? 0 : start, ch);
}

bool CString::EqualsNoCase(const CString& other) const {
  return mbcs::EqualNoCase(m_text.data(), GetLength(), other.m_text.data(), other.GetLength());
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length < 0) {
    m_text.clear();
  } else {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    m_text.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
}
