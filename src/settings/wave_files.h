#pragma once
// The wave files a user hands over, by a drop or through the file dialog,
// as paths a pool can store: text in the ANSI code page, within its path
// limit; a name the code page cannot spell by its short path. A file counts
// only if it begins as a wave file does, read through the path stored.
// Sound files of other formats are gathered to be converted.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/cstring.h"

struct LeftOutFile {
  std::wstring path;  // as Windows gave it, without a \\?\ prefix
  // Why it cannot be a candidate (IDS_REASON_*): no wave file Windows can
  // open, a path that cannot be stored (too long, or characters the code
  // page lacks, even by the short path), a sound that cannot be converted.
  UINT reason;
};

struct WaveFiles {
  std::vector<CString> paths;
  std::vector<LeftOutFile> leftOut;
  std::vector<std::wstring> toConvert;  // sound files of other formats, in order
};

// Dropped files and folders, in drop order. A file counts if its name ends
// in ".wav" (any case), or is to be converted if in ".mp3", ".m4a", ".aac",
// ".wma", ".flac" or ".ogg".
// A folder gives every such file in it and in its subfolders: its own files
// first, then each subfolder in turn, both by name without regard to case;
// links to other folders are not followed.
WaveFiles CollectWaveFiles(const std::vector<std::wstring>& items);

// Files the file dialog returned: those that exist, whatever their name; a
// file that does not begin as a wave file does is to be converted.
WaveFiles ChosenFiles(const std::vector<std::wstring>& paths);
