#pragma once
// The system's own words for an error code, in its language.

#include <windows.h>

#include <string>

// Without the closing line break; "0x…" where the system has no text.
std::wstring SystemErrorText(DWORD error);
