#include <windows.h>

#include "registry_sandbox.h"

void ClearTestKeys() {
  RegDeleteTreeA(HKEY_CURRENT_USER, "AppEvents");
  RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
}
