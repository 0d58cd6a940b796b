#include "schemes/session_sounds.h"

#include "platform/os_file.h"
#include "platform/registry.h"
#include "schemes/wave_chunks.h"
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
  const WaveChunks chunks = WalkWaveChunks(wave);
  return chunks.bytesPerSecond > 0 && chunks.hasData;
}

unsigned WaveDurationMs(std::string_view wave) {
  const WaveChunks chunks = WalkWaveChunks(wave);
  if (chunks.bytesPerSecond == 0) return 0;
  return static_cast<unsigned>(chunks.dataBytes * 1000 / chunks.bytesPerSecond);
}
