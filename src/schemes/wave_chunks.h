#pragma once
// The one walk over the chunks of a RIFF WAVE file, for every reader of wave
// files in the program. Offsets and sizes are 64-bit, the walk visits at
// most kMostWaveChunks chunks and reads at most 48 bytes of each, so no file
// can make it wrap, loop or read much, on a 32-bit build as on a 64-bit one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

constexpr int kMostWaveChunks = 64;

// Up to `count` bytes from `offset` into `out`: the number read, short at
// the end of the source or on an error.
using WaveReader = std::function<std::size_t(std::uint64_t offset, void* out, std::size_t count)>;

struct WaveChunks {
  bool isWave = false;     // the first 12 bytes are "RIFF", a size, "WAVE"
  bool hasFormat = false;  // a "fmt " chunk of 16 bytes or more, read whole (its first 40 bytes)
  std::uint16_t formatTag = 0;
  bool pcmSubtype = false;  // WAVE_FORMAT_EXTENSIBLE whose subtype is PCM
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSecond = 0;
  std::uint32_t bytesPerSecond = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  bool hasData = false;
  std::uint64_t dataOffset = 0;  // of the first sample byte
  std::uint64_t dataBytes = 0;   // as the chunk says, cut to what the source holds
};

// Walks from the header until both a format and a data chunk are found.
// `sourceBytes` is the length of what `read` reads from.
WaveChunks WalkWaveChunks(const WaveReader& read, std::uint64_t sourceBytes);
// The same over bytes in memory.
WaveChunks WalkWaveChunks(std::string_view wave);

// A file opened to be walked: for reading only, sharing everything, so a
// file others hold open can be looked at (os_file::OpenToRead).
class WaveFileReader {
 public:
  explicit WaveFileReader(const char* path);
  ~WaveFileReader();
  WaveFileReader(const WaveFileReader&) = delete;
  WaveFileReader& operator=(const WaveFileReader&) = delete;

  bool IsOpen() const;
  // When it could not be opened: whether it is not there at all (no such
  // file or folder) rather than refused.
  bool Missing() const { return m_missing; }
  // As WaveReader; 0 when the file is not open.
  std::size_t Read(std::uint64_t offset, void* out, std::size_t count) const;
  WaveChunks Chunks() const;

 private:
  bool m_missing = false;
  std::intptr_t m_handle;  // an os_file::Handle
};
