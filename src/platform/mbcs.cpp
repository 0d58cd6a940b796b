#include "platform/mbcs.h"

namespace mbcs {

// The code page's lead bytes; defined by each platform.
void FillLeadBytes(bool (&lead)[256]);

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

struct LeadByteTable {
  bool lead[256] = {};
  LeadByteTable() { FillLeadBytes(lead); }
};

}  // namespace

const bool* LeadBytes() {
  static const LeadByteTable table;
  return table.lead;
}

int FindChar(const char* s, int length, int start, char ch) {
  const bool* lead = LeadBytes();
  for (int i = start; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (lead[c])
      ++i;  // the trail byte is never a separator
    else if (c == static_cast<unsigned char>(ch))
      return i;
  }
  return -1;
}

int BoundaryAtOrBefore(const char* s, int length, int limit) {
  const bool* lead = LeadBytes();
  int end = 0;
  while (end < length) {
    int next = end + (lead[static_cast<unsigned char>(s[end])] ? 2 : 1);
    if (next > limit) break;
    end = next;
  }
  return end;
}

bool EndsInsideCharacter(const char* s, int length) { return BoundaryAtOrBefore(s, length, length) != length; }

bool EqualNoCase(const char* a, int aLength, const char* b, int bLength) {
  if (aLength != bLength) return false;
  const bool* lead = LeadBytes();
  for (int i = 0; i < aLength; ++i) {
    if (lead[static_cast<unsigned char>(a[i])]) {
      if (a[i] != b[i]) return false;
      if (++i < aLength && a[i] != b[i]) return false;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace mbcs
