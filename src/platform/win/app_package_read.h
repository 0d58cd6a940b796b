#pragma once
// Read access to files for ALL APPLICATION PACKAGES (S-1-15-2-1), the group
// of every app container. Windows 10 and 11 play a toast notification's
// sound from an app container, which can open only files that grant it;
// files in a user's own folders do not.

#include <windows.h>

enum class AppPackagesRead { Granted, Denied, NotGranted };

// Whether `dacl` lets the group read, as Windows decides it: the first ACE
// for the group, in order, that names read access and applies to the object
// itself (inherit-only ones do not), a denial or a grant. A null DACL lets
// everyone do anything.
AppPackagesRead AppPackagesReadOf(const ACL* dacl);

// What LetAppPackagesRead returns for a file whose DACL denies the group
// read access: Belltide never removes a denial. An application's own code.
constexpr DWORD kAppPackagesReadDenied = 0x20000000 | 1;

// `dacl` with every ACE kept and one more, GENERIC_READ | GENERIC_EXECUTE
// for the group, in canonical order: a new ACL for LocalFree in `merged`,
// or the error.
DWORD AddAppPackagesRead(PACL dacl, PACL& merged);

// Lets the group read the file at `path` unless it may already, changing
// nothing else of the file's permissions: its DACL is merged into, never
// replaced, and stays inheriting or protected as it was. ERROR_SUCCESS,
// kAppPackagesReadDenied, or the error that refused it.
DWORD LetAppPackagesRead(const char* path);
