#include "schemes/wave_check.h"

#include <cstdint>

#include "platform/os_file.h"
#include "schemes/wave_chunks.h"

namespace {

constexpr std::uint16_t kFormatPcm = 1;

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
  WaveChunks Chunks() const {
    const long long length = os_file::Length(m_handle);
    const WaveReader read = [this](std::uint64_t offset, void* out, std::size_t count) -> std::size_t {
      return os_file::ReadAt(m_handle, static_cast<long long>(offset), static_cast<char*>(out), count);
    };
    return WalkWaveChunks(read, length > 0 ? static_cast<std::uint64_t>(length) : 0);
  }

 private:
  bool m_missing = false;
  os_file::Handle m_handle;
};

// What Windows plays for a system sound.
bool PlayableFormat(const WaveChunks& chunks) {
  if (!chunks.hasFormat || (chunks.formatTag != kFormatPcm && !chunks.pcmSubtype)) return false;
  return (chunks.channels == 1 || chunks.channels == 2) && (chunks.bitsPerSample == 8 || chunks.bitsPerSample == 16);
}

WaveCheck Check(const char* path, bool wholeFormat) {
  const LookedAtFile file(path);
  if (file.OpenState() != WaveCheck::Playable) return file.OpenState();
  const WaveChunks chunks = file.Chunks();
  if (!chunks.isWave) return WaveCheck::NotWave;
  return !wholeFormat || PlayableFormat(chunks) ? WaveCheck::Playable : WaveCheck::Unplayable;
}

}  // namespace

WaveCheck CheckWaveHeader(const char* path) { return Check(path, false); }

WaveCheck CheckWaveFile(const char* path) { return Check(path, true); }
