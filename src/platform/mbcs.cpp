#include "platform/mbcs.h"

namespace mbcs {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

}  // namespace

int FindChar(const char* s, int length, int start, char ch) {
  for (int i = start; i < length; ++i) {
    if (IsLeadByte(static_cast<unsigned char>(s[i]))) {
      ++i;  // the trail byte is never a separator
    } else if (s[i] == ch) {
      return i;
    }
  }
  return -1;
}

bool EndsInsideCharacter(const char* s, int length) {
  int i = 0;
  while (i < length) i += IsLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
  return i > length;
}

bool EqualNoCase(const char* a, int aLength, const char* b, int bLength) {
  if (aLength != bLength) return false;
  for (int i = 0; i < aLength; ++i) {
    if (IsLeadByte(static_cast<unsigned char>(a[i]))) {
      if (a[i] != b[i]) return false;
      if (++i < aLength && a[i] != b[i]) return false;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace mbcs
