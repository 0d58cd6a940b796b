#include "running_program.h"

#include <vector>

namespace {

std::string g_programPath;

struct WindowSearch {
  DWORD processId;
  bool messageBox;  // a message box, titled with the program's file name
  HWND found = nullptr;
};

std::string TextOf(HWND window) {
  char text[2048] = {};
  // WM_GETTEXT is marshalled between processes.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (processId != search->processId || std::string(className) != "#32770") return TRUE;
  std::string title = TextOf(window);
  bool isMessageBox = title == "belltide";
  if (isMessageBox != search->messageBox || (isMessageBox && !IsWindowVisible(window))) return TRUE;
  if (!isMessageBox && title != "Belltide") return TRUE;
  search->found = window;
  return FALSE;
}

struct TitleSearch {
  DWORD processId;
  const std::string* title;
  HWND found = nullptr;
};

BOOL CALLBACK FindTitledWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TitleSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !IsWindowVisible(window) || TextOf(window) != *search->title) return TRUE;
  search->found = window;
  return FALSE;
}

struct MenuSearch {
  DWORD processId;
  bool open = false;
};

BOOL CALLBACK FindOpenMenu(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<MenuSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (processId == search->processId && std::string(className) == "#32768" && IsWindowVisible(window)) {
    search->open = true;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM context) {
  auto* text = reinterpret_cast<std::string*>(context);
  char className[32] = {};
  GetClassNameA(child, className, sizeof className);
  std::string candidate = TextOf(child);
  if (std::string(className) == "Static" && candidate.size() > text->size()) *text = candidate;
  return TRUE;
}

template <class Condition>
bool WaitFor(int milliseconds, Condition condition) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    if (condition()) return true;
    Sleep(50);
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

RunningProgram::RunningProgram(const std::string& workingDirectory) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> commandLine(g_programPath.begin(), g_programPath.end());
  commandLine.push_back('\0');
  CreateProcessA(g_programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                 workingDirectory.c_str(), &startup, &m_process);
}

RunningProgram::~RunningProgram() {
  if (!m_process.hProcess) return;
  if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(m_process.hProcess, 99);
    WaitForSingleObject(m_process.hProcess, 5000);
  }
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
}

HWND RunningProgram::WaitForStatusWindow(int milliseconds) {
  WaitFor(milliseconds, [&] {
    WindowSearch search{m_process.dwProcessId, false};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    m_status = search.found;
    return m_status != nullptr;
  });
  return m_status;
}

std::string RunningProgram::StatusText() {
  return WaitForStatusWindow() ? TextOf(GetDlgItem(m_status, 1031)) : std::string();
}

bool RunningProgram::WaitForStatus(const std::string& text, int milliseconds) {
  return WaitFor(milliseconds, [&] { return StatusText() == text; });
}

bool RunningProgram::WaitUntilHidden(int milliseconds) {
  return WaitForStatusWindow() && WaitFor(milliseconds, [&] { return !IsWindowVisible(m_status); });
}

std::string RunningProgram::AnswerMessageBox(int milliseconds) {
  WindowSearch search{m_process.dwProcessId, true};
  WaitFor(milliseconds, [&] {
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  if (!search.found) return std::string();
  std::string text;
  EnumChildWindows(search.found, LongestStatic, reinterpret_cast<LPARAM>(&text));
  PostMessageA(search.found, WM_COMMAND, IDOK, 0);
  return text;
}

HWND RunningProgram::WaitForWindow(const std::string& title, int milliseconds) {
  TitleSearch search{m_process.dwProcessId, &title};
  WaitFor(milliseconds, [&] {
    EnumWindows(FindTitledWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  return search.found;
}

void RunningProgram::Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void RunningProgram::PostCommand(UINT command) {
  if (WaitForStatusWindow()) PostMessageA(m_status, WM_COMMAND, command, 0);
}

bool RunningProgram::OpenTrayMenu(int milliseconds) {
  auto menuOpen = [&] {
    MenuSearch search{m_process.dwProcessId};
    EnumWindows(FindOpenMenu, reinterpret_cast<LPARAM>(&search));
    return search.open;
  };
  // A menu that is still closing must not pass for the new one.
  if (!WaitForStatusWindow() || !WaitFor(milliseconds, [&] { return !menuOpen(); })) return false;
  // Right after the icon is first added, Wine's tray window can take the
  // activation and close a menu at once; a user clicks again, so do we.
  for (int tries = 0; tries < 3; ++tries) {
    PostMessageA(m_status, WM_MOUSEMOVE, 1, MAKELPARAM(WM_RBUTTONUP, 0));
    if (WaitFor(milliseconds / 3, menuOpen)) return true;
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
