#pragma once
// Keeps DLLs planted beside belltide.exe, or in the folder it is started in,
// out of the process. The program imports only KnownDLLs (and comctl32, which
// its manifest takes side by side from the system); everything else comes
// from the system folder.

#include <windows.h>

// The first call of the program: later loads by plain name search the system
// folder only (where Windows cannot, the current folder at least drops out),
// and heap corruption ends the process.
void HardenProcess();

// An export of a system DLL that is no KnownDLL, the DLL loaded from the
// system folder only and kept loaded; nullptr if either is missing.
FARPROC SystemExport(const wchar_t* library, const char* name);

// `address` as the function type it is.
template <class Function>
Function AsFunction(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
