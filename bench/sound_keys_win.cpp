#include "sound_keys_win.h"

#include <windows.h>

#include "win_handles.h"

bool AppEventsExists() {
  HKEY raw = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, "AppEvents", 0, KEY_READ, &raw);
  UniqueKey key(raw);
  return static_cast<bool>(key);
}

void ForgetSoundKeys(const GeneratedSettings& settings, bool wholeTree) {
  for (const std::string& group : settings.groupKeys) RegDeleteTreeA(HKEY_CURRENT_USER, group.c_str());
  if (wholeTree) RegDeleteTreeA(HKEY_CURRENT_USER, "AppEvents");
}

std::string ReadSound(const std::string& keyPath) {
  char value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return std::string();
  return value;
}

void ClearSound(const std::string& keyPath) {
  HKEY raw = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, &raw);
  UniqueKey key(raw);
  if (key) RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
}
