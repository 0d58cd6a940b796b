#include "schemes/wave_writer.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/os_file.h"
#include "schemes/wave_chunks.h"

namespace {

constexpr std::uint16_t kFormatPcm = 1, kBitsPerSample = 16;
constexpr std::uint64_t kChunkHeadBytes = 8, kFormatBytes = 16;
// No path is longer: a larger chunk is no source name of ours.
constexpr std::uint32_t kMostSourceBytes = 4096;

void Put(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

void PutChunkHead(std::string& out, const char* id, std::uint64_t size) {
  out.append(id, 4);
  Put(out, size, 4);
}

}  // namespace

std::string WaveFileBytes(const PcmSound& sound, std::string_view source) {
  const std::uint64_t block = std::uint64_t{sound.channels} * (kBitsPerSample / 8);
  const std::uint64_t data = std::uint64_t{sound.samples.size()} * (kBitsPerSample / 8);
  const std::uint64_t padding = source.size() & 1;  // chunks start at even offsets
  const std::uint64_t riff = 4 + kChunkHeadBytes + kFormatBytes + kChunkHeadBytes + data + kChunkHeadBytes +
                             std::uint64_t{source.size()} + padding;
  if (riff > std::numeric_limits<std::uint32_t>::max() || block == 0) return std::string();
  std::string out;
  out.reserve(static_cast<std::size_t>(kChunkHeadBytes + riff));
  PutChunkHead(out, "RIFF", riff);
  out += "WAVE";
  PutChunkHead(out, "fmt ", kFormatBytes);
  Put(out, kFormatPcm, 2);
  Put(out, sound.channels, 2);
  Put(out, sound.rate, 4);
  Put(out, sound.rate * block, 4);
  Put(out, block, 2);
  Put(out, kBitsPerSample, 2);
  PutChunkHead(out, "data", data);
  for (std::int16_t sample : sound.samples) Put(out, static_cast<std::uint16_t>(sample), 2);
  PutChunkHead(out, kSourceChunkId, source.size());
  out += source;
  if (padding) out += '\0';
  return out;
}

bool WriteWaveFile(const char* path, const char* tmpPath, const PcmSound& sound, std::string_view source) {
  const std::string bytes = WaveFileBytes(sound, source);
  return !bytes.empty() && os_file::WriteAtomically(path, tmpPath, bytes);
}

std::string ReadSourceName(const char* path) {
  const WaveFileReader file(path);
  const WaveChunks chunks = file.Chunks();
  std::string name;
  const std::uint64_t at = chunks.dataOffset + chunks.dataBytes + (chunks.dataBytes & 1);
  unsigned char head[kChunkHeadBytes];
  if (chunks.hasData && file.Read(at, head, sizeof head) == sizeof head && std::memcmp(head, kSourceChunkId, 4) == 0) {
    const std::uint32_t size = head[4] | head[5] << 8 | head[6] << 16 | static_cast<std::uint32_t>(head[7]) << 24;
    name.resize(size <= kMostSourceBytes ? size : 0);
    if (file.Read(at + sizeof head, &name[0], name.size()) != name.size()) name.clear();
  }
  return name;
}
