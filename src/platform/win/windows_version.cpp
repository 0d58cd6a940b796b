#include "platform/win/windows_version.h"

#include <windows.h>

bool WindowsPlaysSessionSounds() {
  OSVERSIONINFOEXW windows8 = {};
  windows8.dwOSVersionInfoSize = sizeof windows8;
  windows8.dwMajorVersion = 6;
  windows8.dwMinorVersion = 2;
  const DWORDLONG atLeast = VerSetConditionMask(VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL),
                                                VER_MINORVERSION, VER_GREATER_EQUAL);
  return !VerifyVersionInfoW(&windows8, VER_MAJORVERSION | VER_MINORVERSION, atLeast);
}
