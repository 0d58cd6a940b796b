#pragma once
// The shortcut in the user's Startup folder that starts this program with
// Windows, working in the folder of its settings file. A shortcut of a copy
// in another folder is never changed or removed.

#include <string>

class StartupShortcut {
 public:
  // For this program, started in `folder`.
  explicit StartupShortcut(std::wstring folder);

  // Whether the Startup folder holds a shortcut to this program that works
  // in `folder`; `current` tells whether it passes /logon, as the shortcuts
  // of this version do.
  bool Exists(bool* current = nullptr) const;
  // Makes one, or removes every one. False, with Windows' reason in
  // `reason`, when the Startup folder refused the change.
  bool Set(bool exists, std::wstring& reason) const;

 private:
  static constexpr wchar_t kLogonSwitch[] = L"/logon";

  bool IsOurs(const std::wstring& link, bool* current = nullptr) const;

  std::wstring m_program;
  std::wstring m_folder;
};
