#include "shell/session_player.h"

#include <mmsystem.h>

#include "platform/win/process_hardening.h"

namespace {

constexpr DWORD kFromMemory = SND_MEMORY | SND_ASYNC | SND_NODEFAULT | kSoundOfTheSystem;

// Windows' own values are REG_EXPAND_SZ: "%SystemRoot%\media\...".
CString Expanded(const CString& path) {
  DWORD size = ExpandEnvironmentStringsA(path, nullptr, 0);
  if (size == 0) return path;
  std::string expanded(size, '\0');
  size = ExpandEnvironmentStringsA(path, &expanded[0], size);
  return size > 0 && size <= expanded.size() ? CString(expanded.c_str()) : path;
}

}  // namespace

SessionPlayer::SessionPlayer(SoundOutput output) : m_output(output) {}

SessionPlayer::~SessionPlayer() { Stop(); }

void SessionPlayer::Stop() {
  if (!m_wave.empty() && m_output.playSound) m_output.playSound(nullptr, nullptr, 0);
  m_wave.clear();
}

bool SessionPlayer::Load(SessionSound sound) {
  Stop();
  const CString file = SessionSoundFile(sound);
  if (file.IsEmpty()) return false;
  // winmm is no KnownDLL: taken from the system folder, once there is something to play.
  if (!m_output.playSound)
    m_output.playSound = AsFunction<decltype(m_output.playSound)>(SystemExport(L"winmm.dll", "PlaySoundA"));
  if (!m_output.playSound || !ReadSessionSound(Expanded(file), m_wave)) {
    m_wave.clear();
    return false;
  }
  return true;
}

void SessionPlayer::Start(SessionSound sound) {
  if (Load(sound)) m_output.playSound(m_wave.data(), nullptr, kFromMemory);
}

void SessionPlayer::PlayToEnd(SessionSound sound, DWORD mostMs) {
  if (!Load(sound) || !m_output.playSound(m_wave.data(), nullptr, kFromMemory)) return Stop();
  const unsigned length = WaveDurationMs(m_wave);
  m_output.sleep(length > 0 && length < mostMs ? length : mostMs);
  Stop();
}
