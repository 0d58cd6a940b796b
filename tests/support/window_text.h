#pragma once
// Texts of windows as the tests read them, from this process or another
// (WM_GETTEXT is marshalled between processes).

#include <windows.h>

#include <string>

std::string WindowText(HWND window);

// The longest static text of a dialog: what a message box says.
std::string LongestStaticText(HWND dialog);

// Belltide's status window and its message boxes share the caption
// "Belltide"; only the status window has the status line.
bool IsStatusWindow(HWND window);
bool IsMessageBox(HWND window);
