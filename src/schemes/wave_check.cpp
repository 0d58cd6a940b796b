#include "schemes/wave_check.h"

#include <cstdint>
#include <cstring>

#include "platform/os_file.h"

namespace {

constexpr std::size_t kHeaderBytes = 12;
// A file with more chunks before its format than this is not worth a walk.
constexpr int kMostChunksBeforeFormat = 64;
constexpr std::uint16_t kFormatPcm = 1, kFormatExtensible = 0xFFFE;
// The tail of KSDATAFORMAT_SUBTYPE_PCM, after its leading 1.
constexpr unsigned char kPcmSubtypeTail[12] = {0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};

std::uint32_t Little(const unsigned char* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

class LookedAtFile {
 public:
  explicit LookedAtFile(const char* path) : m_handle(os_file::OpenToRead(path, m_missing)) {}
  ~LookedAtFile() {
    if (m_handle != os_file::kInvalid) os_file::Close(m_handle);
  }
  LookedAtFile(const LookedAtFile&) = delete;
  LookedAtFile& operator=(const LookedAtFile&) = delete;

  // Why it cannot be looked at; Playable when it can.
  WaveCheck OpenState() const {
    if (m_handle != os_file::kInvalid) return WaveCheck::Playable;
    return m_missing ? WaveCheck::Missing : WaveCheck::Unreadable;
  }
  // All `count` bytes at `offset`, or false.
  bool Read(long long offset, void* out, std::size_t count) const {
    return os_file::ReadAt(m_handle, offset, static_cast<char*>(out), count) == count;
  }

 private:
  bool m_missing = false;
  os_file::Handle m_handle;
};

WaveCheck CheckHeader(const LookedAtFile& file) {
  if (file.OpenState() != WaveCheck::Playable) return file.OpenState();
  char header[kHeaderBytes];
  if (!file.Read(0, header, sizeof header)) return WaveCheck::NotWave;
  return std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0 ? WaveCheck::Playable
                                                                                        : WaveCheck::NotWave;
}

// What Windows plays for a system sound, judged by a "fmt " chunk's body.
bool PlayableFormat(const unsigned char* format, std::uint32_t size) {
  std::uint32_t tag = Little(format, 2), channels = Little(format + 2, 2), bits = Little(format + 14, 2);
  if (tag == kFormatExtensible) {
    // The subtype GUID closes the 40-byte extensible format.
    if (size < 40 || Little(format + 24, 4) != kFormatPcm ||
        std::memcmp(format + 28, kPcmSubtypeTail, sizeof kPcmSubtypeTail) != 0)
      return false;
  } else if (tag != kFormatPcm) {
    return false;
  }
  return (channels == 1 || channels == 2) && (bits == 8 || bits == 16);
}

}  // namespace

WaveCheck CheckWaveHeader(const char* path) { return CheckHeader(LookedAtFile(path)); }

WaveCheck CheckWaveFile(const char* path) {
  LookedAtFile file(path);
  WaveCheck header = CheckHeader(file);
  if (header != WaveCheck::Playable) return header;
  long long at = kHeaderBytes;
  for (int chunk = 0; chunk < kMostChunksBeforeFormat; ++chunk) {
    unsigned char head[8];
    if (!file.Read(at, head, sizeof head)) break;
    const std::uint32_t size = Little(head + 4, 4);
    if (std::memcmp(head, "fmt ", 4) == 0) {
      unsigned char format[40] = {};
      const std::size_t wanted = size < sizeof format ? size : sizeof format;
      if (size < 16 || !file.Read(at + 8, format, wanted)) break;
      return PlayableFormat(format, size) ? WaveCheck::Playable : WaveCheck::Unplayable;
    }
    at += 8 + static_cast<long long>(size) + (size & 1);  // chunks are padded to even sizes
  }
  return WaveCheck::Unplayable;
}
