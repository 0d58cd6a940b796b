#pragma once
// Read access to files for ALL APPLICATION PACKAGES (S-1-15-2-1), the group
// of every app container. Windows 10 and 11 play a toast notification's
// sound from an app container, which can open only files that grant it;
// files in a user's own folders do not.

#include <windows.h>

// Whether `dacl` lets the group read: an allow ACE for it with read access,
// explicit or inherited, that applies to the object itself. A null DACL lets
// everyone do anything.
bool LetsAppPackagesRead(const ACL* dacl);

// `dacl` with every ACE kept and one more, GENERIC_READ | GENERIC_EXECUTE
// for the group, in canonical order: a new ACL for LocalFree in `merged`,
// or the error.
DWORD AddAppPackagesRead(PACL dacl, PACL& merged);

// Lets the group read the file at `path` unless it may already, changing
// nothing else of the file's permissions: its DACL is merged into, never
// replaced, and stays inheriting or protected as it was. ERROR_SUCCESS, or
// the error that refused it.
DWORD LetAppPackagesRead(const char* path);
