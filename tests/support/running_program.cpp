#include "running_program.h"

#include <vector>

#include "window_text.h"

namespace {

std::string g_programPath;

// A top-level window of one process; a null class or title matches any.
struct WindowSearch {
  DWORD processId;
  const char* className;
  const char* title;
  bool visibleOnly;
  bool (*accept)(HWND);  // may be null
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (processId != search->processId || (search->visibleOnly && !IsWindowVisible(window)) ||
      (search->className && std::string(className) != search->className) ||
      (search->title && WindowText(window) != search->title) || (search->accept && !search->accept(window)))
    return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindWindowOf(DWORD processId, const char* className, const char* title, bool visibleOnly,
                  bool (*accept)(HWND) = nullptr) {
  WindowSearch search{processId, className, title, visibleOnly, accept};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <class Condition>
bool WaitFor(int milliseconds, Condition condition, DWORD poll = 50) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    if (condition()) return true;
    Sleep(poll);
  } while (static_cast<int>(end - GetTickCount()) > 0);
  return condition();
}

}  // namespace

void SetProgramPath(const std::string& path) {
  g_programPath = path;
  if (!path.empty() && path[0] == '/') {  // a Unix path from CMake: Wine's Z: drive
    g_programPath = "Z:" + path;
    for (char& c : g_programPath)
      if (c == '/') c = '\\';
  }
}

const std::string& ProgramPath() { return g_programPath; }

bool RunToEnd(std::string commandLine, int milliseconds) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  bool ended = WaitForSingleObject(process.hProcess, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

RunningProgram::RunningProgram(const std::string& workingDirectory, const std::string& arguments,
                               const std::string& program) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string line = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workingDirectory.c_str(),
                 &startup, &m_process);
}

RunningProgram::~RunningProgram() {
  if (!m_process.hProcess) return;
  Kill();
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
}

void RunningProgram::Kill() {
  if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_TIMEOUT) return;
  TerminateProcess(m_process.hProcess, 99);
  WaitForSingleObject(m_process.hProcess, 5000);
}

HWND RunningProgram::WaitForStatusWindow(int milliseconds) {
  WaitFor(milliseconds, [&] {
    m_status = FindWindowOf(m_process.dwProcessId, nullptr, nullptr, false, IsStatusWindow);  // it hides later
    return m_status != nullptr;
  });
  return m_status;
}

std::string RunningProgram::StatusText() {
  return WaitForStatusWindow() ? WindowText(GetDlgItem(m_status, 1031)) : std::string();
}

bool RunningProgram::WaitForStatus(const std::string& text, int milliseconds) {
  return WaitFor(milliseconds, [&] { return StatusText() == text; });
}

bool RunningProgram::SeenShown() {
  bool visible = IsWindowVisible(m_status) != FALSE;
  m_shown = m_shown || visible;
  return visible;
}

// Polled often: the kill test times the start-up by it.
bool RunningProgram::WaitUntilShown(int milliseconds) {
  return WaitForStatusWindow(milliseconds) && WaitFor(
                                                  milliseconds, [&] { return SeenShown(); }, 1);
}

// Hidden counts only once the window has been shown: on a first run it
// exists, not yet shown, while the settings dialog is open.
bool RunningProgram::WaitUntilHidden(int milliseconds) {
  return WaitForStatusWindow() && WaitFor(milliseconds, [&] { return !SeenShown() && m_shown; });
}

std::string RunningProgram::AnswerMessageBox(int milliseconds) {
  HWND box = nullptr;
  WaitFor(milliseconds,
          [&] { return (box = FindWindowOf(m_process.dwProcessId, nullptr, nullptr, true, IsMessageBox)); });
  if (!box) return std::string();
  std::string text = LongestStaticText(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitFor(5000, [&] { return !IsWindowVisible(box); });  // not to be taken for the next one
  return text;
}

HWND RunningProgram::WaitForWindow(const std::string& title, int milliseconds) {
  HWND found = nullptr;
  WaitFor(milliseconds, [&] { return (found = FindWindowOf(m_process.dwProcessId, nullptr, title.c_str(), true)); });
  return found;
}

HWND RunningProgram::WaitForDialog(bool (*accept)(HWND), int milliseconds) {
  HWND found = nullptr;
  WaitFor(milliseconds, [&] { return (found = FindWindowOf(m_process.dwProcessId, "#32770", nullptr, true, accept)); });
  return found;
}

void RunningProgram::Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void RunningProgram::PostCommand(UINT command) {
  if (WaitForStatusWindow()) PostMessageA(m_status, WM_COMMAND, command, 0);
}

bool RunningProgram::OpenTrayMenu(int milliseconds) {
  auto menuOpen = [&] { return FindWindowOf(m_process.dwProcessId, "#32768", nullptr, true) != nullptr; };
  // A menu that is still closing must not pass for the new one.
  if (!WaitForStatusWindow() || !WaitFor(milliseconds, [&] { return !menuOpen(); })) return false;
  // Right after the icon is first added, Wine's tray window can take the
  // activation and close a menu soon after it opened; a user clicks again,
  // so do we, until a menu stays open.
  for (int tries = 0; tries < 3; ++tries) {
    PostMessageA(m_status, WM_MOUSEMOVE, 1, MAKELPARAM(WM_RBUTTONUP, 0));
    if (!WaitFor(milliseconds / 3, menuOpen)) continue;
    Sleep(500);
    if (menuOpen()) return true;
  }
  return false;
}

void RunningProgram::PostMenuKey(char letter) { PostMessageA(m_status, WM_KEYDOWN, static_cast<WPARAM>(letter), 0); }

void RunningProgram::PostKey(WPARAM key) {
  if (WaitForStatusWindow()) PostMessageA(GetDlgItem(m_status, 1031), WM_KEYDOWN, key, 0);
}

int RunningProgram::WaitForExit(int milliseconds) {
  if (WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(m_process.hProcess, &code);
  return static_cast<int>(code);
}
