#pragma once
// The wave files a user hands over, by a drop or through the file dialog,
// as paths a pool can store: text in the ANSI code page, within its path
// limit; a name the code page cannot spell by its short path.

#include <string>
#include <vector>

#include "platform/cstring.h"

struct WaveFiles {
  std::vector<CString> paths;
  int leftOut = 0;  // too long, or with characters the code page lacks, even by the short path
};

// Dropped files and folders, in drop order. A file counts if its name ends
// in ".wav" (any case). A folder gives every .wav file in it and in its
// subfolders: its own files first, then each subfolder in turn, both by
// name without regard to case; links to other folders are not followed.
WaveFiles CollectWaveFiles(const std::vector<std::wstring>& items);

// Files the file dialog returned: those that exist, whatever their name.
WaveFiles ChosenFiles(const std::vector<std::wstring>& paths);
