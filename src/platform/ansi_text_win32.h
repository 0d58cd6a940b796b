#pragma once
// Text between the ANSI code page of Belltide's strings and the UTF-16 of
// the Windows calls that have no ANSI form.

#include <string>
#include <string_view>

#include "platform/cstring.h"

std::wstring Widen(std::string_view text);
// Characters the code page lacks become what Windows makes of them ('?').
CString Narrow(const std::wstring& text);
