#pragma once
// belltide.exe started in a folder of its own and watched from outside, as
// the user and the shell see it: its windows, their texts, its messages.

#include <windows.h>

#include <string>

// The program under test, from the test's command line.
void SetProgramPath(const std::string& path);
const std::string& ProgramPath();

// Runs a command line (Wine starts Unix programs too); true once it ended
// within `milliseconds`.
bool RunToEnd(std::string commandLine, int milliseconds = 30000);

class RunningProgram {
 public:
  // Started in `workingDirectory`, with `arguments` after the program's name.
  explicit RunningProgram(const std::string& workingDirectory, const std::string& arguments = "",
                          const std::string& program = ProgramPath());
  ~RunningProgram();  // kills the process if it still runs
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // The status window, once it exists; nullptr after `milliseconds`.
  HWND WaitForStatusWindow(int milliseconds = 15000);
  std::string StatusText();
  bool WaitForStatus(const std::string& text, int milliseconds = 15000);
  // True once the status window is visible: the settings are loaded.
  bool WaitUntilShown(int milliseconds = 15000);
  // True once the status window has been shown and then hidden.
  bool WaitUntilHidden(int milliseconds = 15000);

  // The text of a message box of the program, answered with OK; empty if
  // none came within `milliseconds`.
  std::string AnswerMessageBox(int milliseconds = 15000);

  // A visible top-level window of the program with this title, once it
  // exists; nullptr after `milliseconds`.
  HWND WaitForWindow(const std::string& title, int milliseconds = 15000);
  // The same for a visible dialog that `accept` recognises.
  HWND WaitForDialog(bool (*accept)(HWND), int milliseconds = 15000);
  // Clicks button `id` of `dialog` as the user would.
  static void Click(HWND dialog, int id);

  void PostCommand(UINT command);
  // Delivers what the shell sends for a right click on the tray icon; true
  // once the popup menu is open.
  bool OpenTrayMenu(int milliseconds = 10000);
  // A key for the status window's thread: the open popup menu takes it.
  void PostMenuKey(char letter);
  void PostKey(WPARAM key);
  // Ends the process at once, as a crash or a forced log-off would.
  void Kill();
  // Exit code, or -1 if the process still runs after `milliseconds`.
  int WaitForExit(int milliseconds = 15000);
  // 0 if the process did not start.
  DWORD ProcessId() const { return m_process.dwProcessId; }

 private:
  bool SeenShown();  // whether the status window is visible now

  PROCESS_INFORMATION m_process = {};
  HWND m_status = nullptr;
  bool m_shown = false;  // the status window has been seen visible
};
