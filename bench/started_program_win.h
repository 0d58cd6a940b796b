#pragma once
// A program under test started in a folder that holds its BTD.CFG, timed
// from the start of CreateProcess until its status window is visible, then
// driven through that window and ended.

#include <windows.h>

#include <optional>
#include <string>

#include "running_program.h"

class StartedProgram {
 public:
  // Throws if the status window is not visible within `timeoutMs`: a
  // message box came instead, the program ended, or it took too long.
  StartedProgram(const std::string& program, const std::string& folder, int timeoutMs = 300000);

  double msToShown() const { return m_msToShown; }
  // Whether BTD.CFG had been written again by the time the window showed.
  bool rewroteSettings() const { return m_rewroteSettings; }

  // Sends a command to the status window and waits for it to be handled;
  // the time that took. Throws if it did not return within `timeoutMs`.
  double TimeCommand(UINT command, int timeoutMs = 60000);

  // The exit command, then a wait for the end; the exit code, or -1 if the
  // program had to be terminated. Without End() it is terminated.
  int End(int timeoutMs = 60000);

 private:
  std::string m_program;
  std::optional<RunningProgram> m_running;
  HWND m_status = nullptr;
  double m_msToShown = 0;
  bool m_rewroteSettings = false;
};
