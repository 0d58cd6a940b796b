#pragma once
// Commands for a running Belltide, given as the switch of a second start
// and handed over with WM_COPYDATA to the copy that holds the settings file
// of the folder that start was made in.

#include <windows.h>

#include <string>
#include <vector>

// Logon: started at log-on (by the Startup shortcut); a running copy does nothing with it.
enum class RemoteCommand { None, Change, Silent, Settings, Exit, Logon, Help, Unknown };

// The switch among a command line's arguments (the program's name left
// out): "/change", "-Change" and the like; None without arguments, Unknown
// for anything else, two switches among it.
RemoteCommand ParseSwitch(const std::vector<std::wstring>& arguments);

// What a running copy answers.
enum RemoteAnswer : LRESULT {
  kNotAddressed = 0,  // not a command for this copy, or none at all
  kDone = 1,
  kRefused = 2,  // the settings dialog, or a message of the start-up, is open
};

// Marks the resident window of every running copy, so that a second start
// knows whom to ask.
constexpr wchar_t kResidentWindowProperty[] = L"Belltide.Resident";

// The data of WM_COPYDATA for `command` to the copy working in `folder`.
// The returned structure points into `buffer`.
COPYDATASTRUCT EncodeRemoteCommand(RemoteCommand command, const std::wstring& folder, std::vector<wchar_t>& buffer);
// The command `data` carries for the copy working in `folder`: None for
// anything else, whatever its size or content.
RemoteCommand DecodeRemoteCommand(const COPYDATASTRUCT& data, const std::wstring& folder);
