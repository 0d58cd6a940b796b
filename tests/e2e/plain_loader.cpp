// The planted-DLL test's control: a plain program that loads winmm by its
// bare name, as programs did before SetDefaultDllDirectories. Beside a
// planted winmm.dll, under the test's override, it must load that one; if it
// did not, a pass of the test would prove nothing.

#include <windows.h>

int main() {
  HMODULE winmm = LoadLibraryA("winmm.dll");
  if (winmm) FreeLibrary(winmm);
  return 0;
}
