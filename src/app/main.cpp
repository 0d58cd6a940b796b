#include <windows.h>

#include "app/belltide_app.h"
#include "platform/win/process_hardening.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HardenProcess();  // before anything loads a DLL
  CBelltideApp app;
  return app.Run();
}
