#pragma once
// CString: a byte string in the ANSI code page, as the settings file and the
// registry hold it. A value type; the bytes may include NUL.

#include <string>
#include <string_view>

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: implicit like the framework's
  CString(const char* text, int length) : m_text(text, static_cast<size_t>(length)) {}
  explicit CString(std::string text) : m_text(std::move(text)) {}
  CString(std::string_view text) : m_text(text) {}  // NOLINT: a view is text

  // A number is never a string: these would convert silently.
  CString(int) = delete;
  CString& operator=(int) = delete;
  CString& operator+=(int) = delete;

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  void Preallocate(int length) { m_text.reserve(static_cast<size_t>(length)); }
  operator const char*() const { return m_text.c_str(); }  // NOLINT: the framework's LPCTSTR
  char operator[](int index) const { return m_text[static_cast<size_t>(index)]; }
  void SetAt(int index, char ch) { m_text[static_cast<size_t>(index)] = ch; }
  const std::string& str() const { return m_text; }
  std::string_view view() const { return m_text; }

  CString& operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
  }
  CString& operator+=(const char* text) {
    m_text += text;
    return *this;
  }
  CString& operator+=(std::string_view text) {
    m_text += text;
    return *this;
  }
  CString& operator+=(char ch) {
    m_text += ch;
    return *this;
  }

  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;

  // Index of the single-byte `ch` at or after `start`, stepping over
  // double-byte characters; -1 when absent.
  int Find(char ch, int start = 0) const;

  // Same bytes, ignoring the case of ASCII letters (Windows path rules).
  bool EqualsNoCase(const CString& other) const;

  void Format(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;

  friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
  friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }
  friend bool operator==(const CString& a, const char* b) { return a.m_text == b; }
  friend bool operator!=(const CString& a, const char* b) { return a.m_text != b; }
  friend CString operator+(CString a, const CString& b) { return a += b; }
  friend CString operator+(CString a, const char* b) { return a += b; }
  friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }

 private:
  std::string m_text;
};
