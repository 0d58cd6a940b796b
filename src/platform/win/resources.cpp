#include "platform/win/resources.h"

#include <string>

namespace {

LANGID g_language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

// The data of resource `name` of `type` in the chosen language, or in any.
const void* FindData(LPCSTR type, UINT id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), g_language);
  if (!found) found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  return loaded ? LockResource(loaded) : nullptr;
}

}  // namespace

void SetResourceLanguage(LANGID language) { g_language = language; }

const DLGTEMPLATE* FindDialogTemplate(UINT id) { return static_cast<const DLGTEMPLATE*>(FindData(RT_DIALOG, id)); }

HMENU LoadMenuResource(UINT id) {
  const void* menu = FindData(RT_MENU, id);
  return menu ? LoadMenuIndirectW(menu) : nullptr;
}

// A string table block holds sixteen strings, each a length and that many
// UTF-16 units.
CString LoadResString(UINT id) {
  const auto* unit = static_cast<const WCHAR*>(FindData(RT_STRING, id / 16 + 1));
  if (!unit) return CString();
  for (UINT skip = id % 16; skip > 0; --skip) unit += 1 + *unit;
  int length = *unit++;
  int bytes = WideCharToMultiByte(CP_ACP, 0, unit, length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, unit, length, &text[0], bytes, nullptr, nullptr);
  return CString(std::move(text));
}
