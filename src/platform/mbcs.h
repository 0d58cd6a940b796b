#pragma once
// Byte strings in the ANSI code page (932 for Belltide's Japanese texts).
// The trail byte of a double-byte character may be 0x5C ('\') or 0x7C ('|'),
// so every scan for a separator steps over whole characters.

#include <string>

namespace mbcs {

// 256 flags, true where a byte starts a double-byte character in the ANSI
// code page; filled once, on first use.
const bool* LeadBytes();

inline bool IsLeadByte(unsigned char c) { return LeadBytes()[c]; }

// True when no byte of `s` has its high bit set: no double-byte character
// can start in it, so a plain byte search finds whole characters.
bool IsAscii(const char* s, int length);

// True when no byte of `s` has its high bit set or is `a` or `b`: a plain
// text without either separator, told in one pass.
bool IsAsciiWithout(const char* s, int length, char a, char b);

// Index of the first single-byte `ch` at or after `start` (a character
// boundary) in the `length` bytes of `s`; -1 when there is none.
int FindChar(const char* s, int length, int start, char ch);

// The largest character boundary of `s` that is at most `limit`.
int BoundaryAtOrBefore(const char* s, int length, int limit);

// True when the last lead byte of `s` has no trail byte left in the string.
bool EndsInsideCharacter(const char* s, int length);

// `s` with its ASCII letters in lower case and double-byte characters as
// they are: a key under which texts equal by EqualNoCase meet.
std::string LowerAscii(const char* s, int length);

// Equality ignoring the case of ASCII letters; double-byte characters must
// match exactly (their trail bytes are never folded).
bool EqualNoCase(const char* a, int aLength, const char* b, int bLength);

}  // namespace mbcs
