#pragma once
// The wave files a user hands over, by a drop or through the file dialog,
// as paths a pool can store: text in the ANSI code page, within its path
// limit; a name the code page cannot spell by its short path. A file counts
// only if it begins as a wave file does, read through the path stored.

#include <optional>
#include <string>
#include <vector>

#include "platform/cstring.h"
#include "schemes/wave_check.h"

struct LeftOutFile {
  std::wstring path;  // as Windows gave it, without a \\?\ prefix
  // Why it is no wave file Windows can open; none when its path cannot be
  // stored (too long, or characters the code page lacks, even by the short path).
  std::optional<WaveCheck> check;
};

struct WaveFiles {
  std::vector<CString> paths;
  std::vector<LeftOutFile> leftOut;
};

// Dropped files and folders, in drop order. A file counts if its name ends
// in ".wav" (any case). A folder gives every .wav file in it and in its
// subfolders: its own files first, then each subfolder in turn, both by
// name without regard to case; links to other folders are not followed.
WaveFiles CollectWaveFiles(const std::vector<std::wstring>& items);

// Files the file dialog returned: those that exist, whatever their name.
WaveFiles ChosenFiles(const std::vector<std::wstring>& paths);
