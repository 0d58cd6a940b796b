#include "shell/session_player.h"

#include <mmsystem.h>

#include "platform/win/process_hardening.h"

namespace {

constexpr DWORD kFromMemory = SND_MEMORY | SND_ASYNC | SND_NODEFAULT;

}  // namespace

SessionPlayer::SessionPlayer(SoundOutput output) : m_output(output) {
  // winmm is no KnownDLL: taken from the system folder.
  if (!m_output.playSound)
    m_output.playSound = AsFunction<decltype(m_output.playSound)>(SystemExport(L"winmm.dll", "PlaySoundA"));
}

SessionPlayer::~SessionPlayer() { Stop(); }

void SessionPlayer::Stop() {
  if (!m_wave.empty() && m_output.playSound) m_output.playSound(nullptr, nullptr, 0);
  m_wave.clear();
}

bool SessionPlayer::Load(SessionSound sound) {
  Stop();
  if (!m_output.playSound) return false;
  if (!ReadSessionSound(SessionSoundFile(sound), m_wave)) {
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
