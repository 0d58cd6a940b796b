#include "schemes/wave_check.h"

#include <cstdint>

#include "schemes/wave_chunks.h"

namespace {

constexpr std::uint16_t kFormatPcm = 1;

// What Windows plays for a system sound.
bool PlayableFormat(const WaveChunks& chunks) {
  if (!chunks.hasFormat || (chunks.formatTag != kFormatPcm && !chunks.pcmSubtype)) return false;
  return (chunks.channels == 1 || chunks.channels == 2) && (chunks.bitsPerSample == 8 || chunks.bitsPerSample == 16);
}

WaveCheck Check(const char* path, bool wholeFormat) {
  const WaveFileReader file(path);
  if (!file.IsOpen()) return file.Missing() ? WaveCheck::Missing : WaveCheck::Unreadable;
  const WaveChunks chunks = file.Chunks();
  if (!chunks.isWave) return WaveCheck::NotWave;
  return !wholeFormat || PlayableFormat(chunks) ? WaveCheck::Playable : WaveCheck::Unplayable;
}

}  // namespace

WaveCheck CheckWaveHeader(const char* path) { return Check(path, false); }

WaveCheck CheckWaveFile(const char* path) { return Check(path, true); }
