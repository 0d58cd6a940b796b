#include "platform/mbcs.h"

#include <cstdint>
#include <cstring>

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

bool IsAscii(const char* s, int length) {
  // Four bytes a step: no byte depends on the one before.
  std::uint32_t high = 0;
  int i = 0;
  for (; i + 4 <= length; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, s + i, 4);
    high |= word;
  }
  for (; i < length; ++i) high |= static_cast<unsigned char>(s[i]);
  return (high & 0x80808080u) == 0;
}

// Four bytes a step: a zero byte of word ^ pattern is a match.
bool IsAsciiWithout(const char* s, int length, char a, char b) {
  const std::uint32_t patternA = 0x01010101u * static_cast<unsigned char>(a);
  const std::uint32_t patternB = 0x01010101u * static_cast<unsigned char>(b);
  auto hasZero = [](std::uint32_t w) { return (w - 0x01010101u) & ~w & 0x80808080u; };
  int i = 0;
  for (; i + 4 <= length; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, s + i, 4);
    if ((word & 0x80808080u) || hasZero(word ^ patternA) || hasZero(word ^ patternB)) return false;
  }
  for (; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80 || c == static_cast<unsigned char>(a) || c == static_cast<unsigned char>(b)) return false;
  }
  return true;
}

// Four bytes a step while they are all ASCII (a word trick finds `ch` among
// them), then character by character from the first word that needs it.
int FindChar(const char* s, int length, int start, char ch) {
  const std::uint32_t pattern = 0x01010101u * static_cast<unsigned char>(ch);
  int i = start;
  for (; i + 4 <= length; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, s + i, 4);
    std::uint32_t match = word ^ pattern;  // a zero byte where `ch` stands
    if ((word & 0x80808080u) || ((match - 0x01010101u) & ~match & 0x80808080u)) break;
  }
  const bool* lead = LeadBytes();
  for (; i < length; ++i) {
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

bool EndsInsideCharacter(const char* s, int length) {
  return !IsAscii(s, length) && BoundaryAtOrBefore(s, length, length) != length;
}

std::string LowerAscii(const char* s, int length) {
  std::string lower(s, static_cast<size_t>(length));
  const bool* lead = LeadBytes();
  for (size_t i = 0; i < lower.size(); ++i) {
    if (lead[static_cast<unsigned char>(lower[i])])
      ++i;
    else
      lower[i] = FoldAscii(lower[i]);
  }
  return lower;
}

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
