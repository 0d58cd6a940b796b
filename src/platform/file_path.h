#pragma once
// Paths of files that live beside one another.

#include "platform/cstring.h"

// The file `name` in the folder of `path` (a relative `path` gives a
// relative result). Either slash ends a folder; double-byte characters are
// stepped over.
CString SiblingPath(const CString& path, const char* name);
