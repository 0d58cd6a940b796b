#pragma once
// What the running Windows does by itself, told by its version
// (VerifyVersionInfo, which no compatibility shim misreports for these).

// Whether Windows plays the log-on, log-off, shutdown and unlock sounds
// itself: Windows 7 and older; from Windows 8 on it keeps them but never
// plays them.
bool WindowsPlaysSessionSounds();
