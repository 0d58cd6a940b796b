#include "schemes/session_sounds.h"

#include <algorithm>
#include <cstdint>

#include "platform/os_file.h"
#include "platform/registry.h"
#include "store/app_events.h"

namespace {

const char* EventOf(SessionSound sound) {
  switch (sound) {
    case SessionSound::Logon:
      return "WindowsLogon";
    case SessionSound::Logoff:
      return "WindowsLogoff";
    case SessionSound::Shutdown:
      return "SystemExit";
    case SessionSound::Unlock:
      return "WindowsUnlock";
  }
  return "";
}

std::uint32_t Little32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The chunks of a RIFF WAVE file that a duration needs.
struct WaveChunks {
  std::uint32_t bytesPerSecond = 0;  // of the format chunk; 0 without one
  std::uint64_t dataBytes = 0;
  bool hasData = false;
};

WaveChunks ChunksOf(std::string_view wave) {
  WaveChunks chunks;
  if (wave.size() < 12 || wave.substr(0, 4) != "RIFF" || wave.substr(8, 4) != "WAVE") return chunks;
  for (std::size_t at = 12; at + 8 <= wave.size();) {
    const std::string_view id = wave.substr(at, 4);
    const std::uint64_t size = Little32(wave, at + 4);
    if (id == "fmt " && size >= 16 && at + 8 + 16 <= wave.size()) chunks.bytesPerSecond = Little32(wave, at + 8 + 8);
    if (id == "data") {
      chunks.hasData = true;
      chunks.dataBytes = std::min<std::uint64_t>(size, wave.size() - at - 8);
      break;
    }
    at += 8 + size + (size & 1);  // chunks are padded to even sizes
  }
  return chunks;
}

}  // namespace

CString SessionSoundFile(SessionSound sound) {
  CString active, file;
  RegistryKey::OpenForRead(app_events::kSchemesKey).QueryString(nullptr, active);
  if (active == app_events::kNoSoundScheme) return CString();
  CString key = CString(app_events::kAppsKey) + "\\.Default\\" + EventOf(sound) + "\\" + app_events::kCurrentScheme;
  RegistryKey::OpenForRead(key).QueryString(nullptr, file);
  return file;
}

bool ReadSessionSound(const char* path, std::string& wave) {
  if (!*path || !os_file::ReadFile(path, wave, kMostSessionSoundBytes)) return false;
  const WaveChunks chunks = ChunksOf(wave);
  return chunks.bytesPerSecond > 0 && chunks.hasData;
}

unsigned WaveDurationMs(std::string_view wave) {
  const WaveChunks chunks = ChunksOf(wave);
  if (chunks.bytesPerSecond == 0) return 0;
  return static_cast<unsigned>(chunks.dataBytes * 1000 / chunks.bytesPerSecond);
}
