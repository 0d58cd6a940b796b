#pragma once
// The Windows side of stored paths: names as Windows hands them over, in
// UTF-16. Paths may be plain or under the \\?\ prefix, which reaches past
// MAX_PATH; stored paths are plain.

#include <string>
#include <string_view>

#include "platform/cstring.h"

// Whether two paths name one file or folder as Windows compares names: in
// any letter case, with a final backslash or without.
bool SamePath(std::wstring a, std::wstring b);

// The short or the long path of the file or folder at `path`; empty when it
// is not there. Past MAX_PATH, Windows finds it only under the prefix.
std::wstring ShortPath(const std::wstring& path);
std::wstring LongPath(const std::wstring& path);

// `text` in the code page when it spells every character, without best-fit
// stand-ins, in fewer than `limit` bytes.
bool SpelledInCodePage(const std::wstring& text, int limit, CString& ansi);

// `path` as a stored path of fewer than `limit` bytes: as it is when the
// code page spells every character (no best-fit stand-ins) and it fits,
// else its short path on the same terms (`shortPath` when given, as a walk
// knows it from the listings); false when neither is possible.
bool ToStoredPath(const std::wstring& path, int limit, CString& stored, const std::wstring* shortPath = nullptr);
