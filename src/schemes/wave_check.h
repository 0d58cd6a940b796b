#pragma once
// Whether Windows can play a file as a system sound: a RIFF WAVE file whose
// format is PCM of 8 or 16 bits, mono or stereo. Files are read through
// the paths the program stores and hands to Windows, so a short path or one
// near the path limit is checked as Windows will open it.

#include <cstddef>

enum class WaveCheck {
  Playable,
  Missing,     // no such file or folder
  Unreadable,  // there, but cannot be opened or read
  NotWave,     // its first 12 bytes are no RIFF header of form "WAVE"
  Unplayable,  // another encoding, or its format chunk missing or cut short
};

// The first 12 bytes alone: what a file must have to be added.
WaveCheck CheckWaveHeader(const char* path);
// The header and the format chunk, wherever it stands among the chunks.
WaveCheck CheckWaveFile(const char* path);
