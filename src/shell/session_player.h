#pragma once
// Plays the session's sounds (schemes/session_sounds.h) from memory: no disk
// access while the session ends, and no limit on the file name's length.

#include <windows.h>

#include <string>

#include "schemes/session_sounds.h"

// SND_SYSTEM (Windows Vista's mmsystem.h; MinGW's headers lack it): the
// sound joins the system's own, under the System Sounds volume slider.
constexpr DWORD kSoundOfTheSystem = 0x00200000;

// Where the sound goes and how time passes; tests give their own.
struct SoundOutput {
  BOOL(WINAPI* playSound)(LPCSTR, HMODULE, DWORD) = nullptr;  // nullptr: winmm's, from the system folder
  void(WINAPI* sleep)(DWORD) = Sleep;
};

class SessionPlayer {
 public:
  explicit SessionPlayer(SoundOutput output = {});
  ~SessionPlayer();
  SessionPlayer(const SessionPlayer&) = delete;
  SessionPlayer& operator=(const SessionPlayer&) = delete;

  // Starts `sound` and returns at once.
  void Start(SessionSound sound);
  // Plays `sound` to its end, but never longer than `mostMs`.
  void PlayToEnd(SessionSound sound, DWORD mostMs);

 private:
  // Stops what plays, then reads the sound into m_wave; false if there is
  // nothing to play.
  bool Load(SessionSound sound);
  void Stop();

  SoundOutput m_output;  // playSound resolved on the first sound
  std::string m_wave;    // read by PlaySound while it plays
};
