#include <windows.h>

#include "app/belltide_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CBelltideApp app;
  return app.Run();
}
