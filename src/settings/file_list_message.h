#pragma once
// A message that names files, one a line under a heading: at most ten, then
// how many more, so that a drop of thousands still fits on the screen.

#include <windows.h>

#include <string>
#include <vector>

// In UTF-16: a name the code page cannot spell may be among them.
void TellFiles(UINT headingId, const std::vector<std::wstring>& lines);
