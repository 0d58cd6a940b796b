#include <gtest/gtest.h>

#include "registry_sandbox.h"
#include "schemes/session_sounds.h"
#include "temp_dir.h"
#include "wave_file.h"

namespace {

class SessionSounds : public RegistryTest {};

}  // namespace

// The sound assigned now to each event of the .Default application; none in
// silent mode, or where no value is set.
TEST_F(SessionSounds, TheFileIsTheEventsCurrentSound) {
  SetDefault("AppEvents\\Schemes", ".Current");
  SetDefault("AppEvents\\Schemes\\Apps\\.Default\\WindowsLogon\\.Current", "C:\\on.wav");
  SetDefault("AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current", "C:\\exit.wav");
  SetDefault("AppEvents\\Schemes\\Apps\\.Default\\WindowsUnlock\\.Current", "");
  EXPECT_EQ(CString("C:\\on.wav"), SessionSoundFile(SessionSound::Logon));
  EXPECT_EQ(CString("C:\\exit.wav"), SessionSoundFile(SessionSound::Shutdown));
  EXPECT_TRUE(SessionSoundFile(SessionSound::Unlock).IsEmpty());
  EXPECT_TRUE(SessionSoundFile(SessionSound::Logoff).IsEmpty());
  SetDefault("AppEvents\\Schemes", ".None");
  EXPECT_TRUE(SessionSoundFile(SessionSound::Logon).IsEmpty());
}

// Only a whole wave file of at most 4 MiB is played; its length comes from
// its header. A chunk size that would wrap a 32-bit offset back onto the
// same chunk ends the walk instead.
TEST_F(SessionSounds, OnlyWaveFilesOfAtMostFourMebibytesArePlayed) {
  TempDir dir;
  const std::string wave = WaveBytes(1500);
  const struct {
    const char* name;
    std::string bytes;
    bool played;
  } cases[] = {
      {"a.wav", wave, true},
      {"text.wav", "Setup=1\r\n\r\n", false},
      {"empty.wav", "", false},
      {"header.wav", wave.substr(0, 12), false},
      {"no-data.wav", wave.substr(0, 36), false},
      {"large.wav", wave + std::string(kMostSessionSoundBytes, '\x80'), false},
      {"wrap-7.wav", wave.substr(0, 12) + std::string("LIST\xF7\xFF\xFF\xFF", 8) + wave.substr(12), false},
      {"wrap-8.wav", wave.substr(0, 12) + std::string("LIST\xF8\xFF\xFF\xFF", 8) + wave.substr(12), false},
  };
  for (const auto& c : cases) {
    dir.Write(c.name, c.bytes);
    std::string read;
    EXPECT_EQ(c.played, ReadSessionSound(dir.File(c.name).c_str(), read)) << c.name;
    if (c.played) {
      EXPECT_EQ(c.bytes, read);
    }
    if (c.bytes.size() <= kMostSessionSoundBytes) {
      EXPECT_EQ(c.played ? 1500u : 0u, WaveDurationMs(c.bytes)) << c.name;
    }
  }
  std::string read;
  EXPECT_FALSE(ReadSessionSound(dir.File("missing.wav").c_str(), read));
  EXPECT_FALSE(ReadSessionSound("", read));
  EXPECT_EQ(0u, WaveDurationMs("RIFF"));
}
