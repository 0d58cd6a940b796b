#include "started_program_win.h"

#include <stdexcept>

#include "timing_win.h"

namespace {

constexpr UINT kExitCommand = 32776;

// The first visible dialog of the process, or null. GetWindowTextA reads the
// caption of another process's window without sending it a message, so the
// poll never waits on the program while it loads.
HWND VisibleDialog(DWORD processId, std::string& title) {
  for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
       window = FindWindowExA(nullptr, window, "#32770", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != processId || !IsWindowVisible(window)) continue;
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    title = text;
    return window;
  }
  return nullptr;
}

FILETIME LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

}  // namespace

StartedProgram::StartedProgram(const std::string& program, const std::string& folder, int timeoutMs)
    : m_program(program) {
  const std::string settings = folder + "\\BTD.CFG";
  const FILETIME written = LastWriteTime(settings);
  SetProgramPath(program);

  const double start = NowMs();
  m_running.emplace(folder);
  const DWORD error = GetLastError();  // CreateProcessA's, if it failed
  const DWORD processId = m_running->ProcessId();
  if (!processId) throw std::runtime_error("cannot start " + program + " (error " + std::to_string(error) + ")");
  for (;;) {
    std::string title;
    HWND dialog = VisibleDialog(processId, title);
    if (dialog && title == "Belltide" && GetDlgItem(dialog, 1031)) {  // not a message box: it has the status line
      m_msToShown = NowMs() - start;
      m_status = dialog;
      break;
    }
    if (dialog) throw std::runtime_error(program + " showed \"" + title + "\" " + m_running->AnswerMessageBox(0));
    // Doubles as the 1 ms pause between looks.
    int code = m_running->WaitForExit(1);
    if (code != -1)
      throw std::runtime_error(program + " ended (exit code " + std::to_string(code) + ") without its status window");
    if (NowMs() - start > timeoutMs) throw std::runtime_error(program + ": no status window in time");
  }
  const FILETIME now = LastWriteTime(settings);
  m_rewroteSettings = CompareFileTime(&written, &now) != 0;
}

double StartedProgram::TimeCommand(UINT command, int timeoutMs) {
  DWORD_PTR result = 0;
  const double begin = NowMs();
  LRESULT handled =
      SendMessageTimeoutA(m_status, WM_COMMAND, command, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &result);
  const double ms = NowMs() - begin;
  if (!handled) throw std::runtime_error(m_program + ": command " + std::to_string(command) + " did not return");
  return ms;
}

int StartedProgram::End(int timeoutMs) {
  if (!m_running) return -1;
  PostMessageA(m_status, WM_COMMAND, kExitCommand, 0);
  int code = m_running->WaitForExit(timeoutMs);
  m_running.reset();  // terminates a program that hangs
  return code;
}
