#pragma once
// Byte strings in the ANSI code page (932 for Belltide's Japanese texts).
// The trail byte of a double-byte character may be 0x5C ('\') or 0x7C ('|'),
// so every scan for a separator steps over whole characters.

namespace mbcs {

// True when `c` starts a double-byte character in the ANSI code page.
bool IsLeadByte(unsigned char c);

// Index of the first single-byte `ch` at or after `start` (a character
// boundary) in the `length` bytes of `s`; -1 when there is none.
int FindChar(const char* s, int length, int start, char ch);

// True when the last lead byte of `s` has no trail byte left in the string.
bool EndsInsideCharacter(const char* s, int length);

// Equality ignoring the case of ASCII letters; double-byte characters must
// match exactly (their trail bytes are never folded).
bool EqualNoCase(const char* a, int aLength, const char* b, int bLength);

}  // namespace mbcs
