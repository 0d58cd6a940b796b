#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "registry_sandbox.h"
#include "schemes/scheme_import.h"
#include "temp_dir.h"

namespace {

class WideSchemeImport : public RegistryTest {};

}  // namespace

// Neither '?' nor a best-fit letter: the file itself, by its short path.
TEST_F(WideSchemeImport, ValueOutsideTheCodePageComesByTheShortPathOfItsFile) {
  TempDir sounds;
  std::wstring file = std::wstring(sounds.path().begin(), sounds.path().end()) + L"\\Caf\u00E9 \u266B.wav";
  CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps\\App\\Ev\\Jazz", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                 static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  EventTable table(2);
  table[0].key = "\\App";
  table[0].count = -1;
  table[1].key = "Ev";

  ImportScheme(table, "Jazz");
  ASSERT_EQ(1, table[1].count);
  CString stored = table[1].GetCandidate(0).Mid(1);
  HANDLE opened = CreateFileA(stored, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, opened) << stored;
  CloseHandle(opened);
  wchar_t shortPath[MAX_PATH] = {}, longPath[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, stored, -1, shortPath, MAX_PATH);
  GetLongPathNameW(shortPath, longPath, MAX_PATH);
  EXPECT_EQ(file, longPath);
}
