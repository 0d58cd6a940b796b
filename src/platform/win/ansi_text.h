#pragma once
// Text between the ANSI code page of Belltide's strings and the UTF-16 of
// the Windows calls that have no ANSI form.

#include <string>

#include "platform/cstring.h"

std::wstring WidenAnsi(const CString& text);
// Characters the code page lacks become what Windows makes of them ('?').
CString NarrowToAnsi(const std::wstring& text);
