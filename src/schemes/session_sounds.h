#pragma once
// The sounds of the session that Windows 8 and later keep in the registry
// but no longer play: log-on, log-off, shutdown and unlock. Belltide plays
// the one assigned now, as Windows 7 did, from memory.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/cstring.h"

enum class SessionSound { Logon, Logoff, Shutdown, Unlock };

// Larger files are not played: a session sound is a short one.
constexpr std::size_t kMostSessionSoundBytes = 4 * 1024 * 1024;

// The wave file Windows would play for `sound`: the .Current value of its
// event of the .Default application; empty in silent mode (".None" active)
// or when none is set.
CString SessionSoundFile(SessionSound sound);

// The bytes of the wave file at `path`, to be played from memory; false when
// it is missing, cannot be read, is larger than kMostSessionSoundBytes, or
// is no RIFF WAVE file with a format and a data chunk.
bool ReadSessionSound(const char* path, std::string& wave);

// How long `wave` plays, in milliseconds, from its format and data chunks;
// 0 when they do not say.
unsigned WaveDurationMs(std::string_view wave);
