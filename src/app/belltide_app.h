#pragma once

#include "platform/win/win_app.h"

// Runs the whole program from InitInstance: backup recovery, the exclusive
// open of the settings file, the resident window, and the backup at the end.
class CBelltideApp : public CWinApp {
 public:
  bool InitInstance() override;
};
