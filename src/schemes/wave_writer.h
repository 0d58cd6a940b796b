#pragma once
// Wave files Belltide writes: 16-bit PCM in a RIFF/WAVE file ("fmt ", then
// "data"), with a chunk after them that names the file the sound was made
// from, so that the same source finds its wave file again.

#include <string>
#include <string_view>

#include "schemes/pcm_sound.h"

// The chunk id of the source's name.
constexpr char kSourceChunkId[] = "bsrc";

// The whole file; empty when the sound is too long for a RIFF size.
std::string WaveFileBytes(const PcmSound& sound, std::string_view source);
// Writes those bytes to `path`, whole or not at all, through `tmpPath`.
bool WriteWaveFile(const char* path, const char* tmpPath, const PcmSound& sound, std::string_view source);

// The source named in a wave file this writer made: the chunk right after
// its data. Empty for any other file, and for one that cannot be read.
std::string ReadSourceName(const char* path);
