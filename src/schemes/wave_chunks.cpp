#include "schemes/wave_chunks.h"

#include <algorithm>
#include <cstring>

#include "platform/os_file.h"

namespace {

constexpr std::uint16_t kFormatPcm = 1, kFormatExtensible = 0xFFFE;
constexpr std::size_t kExtensibleFormatBytes = 40;
// The tail of KSDATAFORMAT_SUBTYPE_PCM, after its leading 1.
constexpr unsigned char kPcmSubtypeTail[12] = {0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};

std::uint32_t Little(const unsigned char* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

bool ReadWhole(const WaveReader& read, std::uint64_t offset, void* out, std::size_t count) {
  return read(offset, out, count) == count;
}

// A "fmt " chunk's body of `size` bytes at `offset`.
void ReadFormat(const WaveReader& read, std::uint64_t offset, std::uint32_t size, WaveChunks& chunks) {
  unsigned char format[kExtensibleFormatBytes] = {};
  const std::size_t wanted = std::min<std::size_t>(size, sizeof format);
  if (size < 16 || !ReadWhole(read, offset, format, wanted)) return;
  chunks.hasFormat = true;
  chunks.formatTag = static_cast<std::uint16_t>(Little(format, 2));
  chunks.channels = static_cast<std::uint16_t>(Little(format + 2, 2));
  chunks.samplesPerSecond = Little(format + 4, 4);
  chunks.bytesPerSecond = Little(format + 8, 4);
  chunks.blockAlign = static_cast<std::uint16_t>(Little(format + 12, 2));
  chunks.bitsPerSample = static_cast<std::uint16_t>(Little(format + 14, 2));
  chunks.pcmSubtype = chunks.formatTag == kFormatExtensible && size >= kExtensibleFormatBytes &&
                      Little(format + 24, 4) == kFormatPcm &&
                      std::memcmp(format + 28, kPcmSubtypeTail, sizeof kPcmSubtypeTail) == 0;
}

}  // namespace

WaveChunks WalkWaveChunks(const WaveReader& read, std::uint64_t sourceBytes) {
  WaveChunks chunks;
  unsigned char header[12];
  if (!ReadWhole(read, 0, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
      std::memcmp(header + 8, "WAVE", 4) != 0)
    return chunks;
  chunks.isWave = true;
  // At most 12 + 64 * (8 + 2^32) bytes in: far from any wrap.
  std::uint64_t at = sizeof header;
  for (int chunk = 0; chunk < kMostWaveChunks && !(chunks.hasFormat && chunks.hasData); ++chunk) {
    unsigned char head[8];
    if (!ReadWhole(read, at, head, sizeof head)) break;
    const std::uint64_t body = at + sizeof head;
    const std::uint32_t size = Little(head + 4, 4);
    if (std::memcmp(head, "fmt ", 4) == 0 && !chunks.hasFormat) ReadFormat(read, body, size, chunks);
    if (std::memcmp(head, "data", 4) == 0 && !chunks.hasData) {
      chunks.hasData = true;
      chunks.dataOffset = body;
      chunks.dataBytes = std::min<std::uint64_t>(size, sourceBytes > body ? sourceBytes - body : 0);
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  return chunks;
}

WaveChunks WalkWaveChunks(std::string_view wave) {
  const WaveReader read = [wave](std::uint64_t offset, void* out, std::size_t count) -> std::size_t {
    if (offset >= wave.size()) return 0;
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, wave.size() - offset));
    std::memcpy(out, wave.data() + offset, n);
    return n;
  };
  return WalkWaveChunks(read, wave.size());
}

WaveFileReader::WaveFileReader(const char* path) : m_handle(os_file::OpenToRead(path, m_missing)) {}

WaveFileReader::~WaveFileReader() {
  if (IsOpen()) os_file::Close(m_handle);
}

bool WaveFileReader::IsOpen() const { return m_handle != os_file::kInvalid; }

std::size_t WaveFileReader::Read(std::uint64_t offset, void* out, std::size_t count) const {
  return IsOpen() ? os_file::ReadAt(m_handle, static_cast<long long>(offset), static_cast<char*>(out), count) : 0;
}

WaveChunks WaveFileReader::Chunks() const {
  if (!IsOpen()) return WaveChunks();
  const long long length = os_file::Length(m_handle);
  const WaveReader read = [this](std::uint64_t offset, void* out, std::size_t count) {
    return Read(offset, out, count);
  };
  return WalkWaveChunks(read, length > 0 ? static_cast<std::uint64_t>(length) : 0);
}
