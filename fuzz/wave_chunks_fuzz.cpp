// libFuzzer target for the walk over a wave file's chunks. Each input is a
// whole file. The walk must end, read no more than its bound, and report a
// data chunk only within the file.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "schemes/wave_chunks.h"

namespace {

// The header, then a chunk's head and at most 40 bytes of a format each.
constexpr std::uint64_t kMostBytesRead = 12 + kMostWaveChunks * (8 + 40);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  std::uint64_t bytesRead = 0;
  const WaveReader read = [&](std::uint64_t offset, void* out, std::size_t count) -> std::size_t {
    bytesRead += count;
    if (offset >= file.size()) return 0;
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, file.size() - offset));
    std::memcpy(out, file.data() + offset, n);
    return n;
  };
  const WaveChunks chunks = WalkWaveChunks(read, file.size());
  if (bytesRead > kMostBytesRead) std::abort();
  if (chunks.hasData && (chunks.dataOffset > file.size() || chunks.dataBytes > file.size() - chunks.dataOffset))
    std::abort();
  if ((chunks.hasFormat || chunks.hasData) && !chunks.isWave) std::abort();
  const WaveChunks inMemory = WalkWaveChunks(file);
  if (inMemory.isWave != chunks.isWave || inMemory.hasFormat != chunks.hasFormat ||
      inMemory.bytesPerSecond != chunks.bytesPerSecond || inMemory.hasData != chunks.hasData ||
      inMemory.dataOffset != chunks.dataOffset || inMemory.dataBytes != chunks.dataBytes)
    std::abort();
  return 0;
}
