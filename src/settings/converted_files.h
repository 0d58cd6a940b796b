#pragma once
// The folder of converted sounds beside BTD.CFG: one wave file for each
// source file, named after it in letters the code page spells, so that the
// pools store it as it is. The same source finds its wave file again.

#include <string>

#include "platform/cstring.h"

// The folder's name below the start-up folder.
constexpr char kConvertedFolderName[] = "Converted";

// What names a source: its long path in any letter case, its size and the
// time it was last written. Empty when the file cannot be looked at.
std::string SourceName(const std::wstring& source);

struct ConvertedFile {
  CString path;       // empty when no name fits below the path limit
  bool made = false;  // made from this source before: reuse it
};

// The wave file for the source named `sourceName` in `folder` (a stored
// path): the one made from it before, else the first free name of "stem.wav",
// "stem (2).wav", ...
ConvertedFile ConvertedFileFor(const CString& folder, const std::wstring& source, const std::string& sourceName);
