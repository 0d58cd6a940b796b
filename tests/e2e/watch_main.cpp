// Starts belltide.exe in a folder and reports what a user would see: each
// status text, the going-resident, and the end. Used by tools/run without a
// display. Prints "shown" once the countdown runs in the status window, then
// opens each window in turn and prints "settings", "candidates" (an event
// selected, its list scrolled to the end of its lines), "import", "about" and "menu" while it is open, so that the
// caller can take screenshots, and ends the program with the menu's exit command.
//   belltide_watch PROGRAM FOLDER

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "running_program.h"
#include "window_text.h"

namespace {

constexpr UINT kSettingsCommand = 32773, kExitCommand = 32776, kAboutCommand = 32777;
constexpr int kTree = 1030, kList = 1000, kImportButton = 1012;

// The windows, told apart by their controls: their titles are the UI
// language's.
bool IsSettings(HWND window) { return GetDlgItem(window, kTree) != nullptr; }
bool IsImport(HWND window) { return GetDlgItem(window, kList) && !GetDlgItem(window, kTree); }
bool IsAbout(HWND window) {
  return GetDlgItem(window, IDOK) && !GetDlgItem(window, kList) && !IsStatusWindow(window) && !IsMessageBox(window);
}

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// Shows a window long enough for a screenshot, then closes it with `close`.
void Show(HWND window, const char* name, int close) {
  if (!window) {
    Say(std::string("no ") + name + " window appeared");
    return;
  }
  Say(name);
  Sleep(1500);
  if (close) PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(close), 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: belltide_watch PROGRAM FOLDER\n");
    return 2;
  }
  SetProgramPath(argv[1]);
  RunningProgram program(argv[2]);
  std::string box = program.AnswerMessageBox(1500);
  if (!box.empty()) Say("message: " + box);
  if (!program.WaitForStatusWindow()) {
    Say("no status window appeared");
    return 1;
  }
  std::string last;
  int texts = 0;
  while (!program.WaitUntilHidden(100)) {
    std::string text = program.StatusText();
    if (text == last) continue;
    Say("status: " + text);
    last = text;
    if (++texts == 2) Say("shown");
  }
  Say("status window hidden; the program lives in the notification area");
  program.PostCommand(kSettingsCommand);
  HWND settings = program.WaitForDialog(IsSettings);
  Show(settings, "settings", 0);
  if (settings) {
    // The second group's first event: the demo's pool with greyed files.
    HWND tree = GetDlgItem(settings, kTree);
    HTREEITEM group = TreeView_GetNextSibling(tree, TreeView_GetRoot(tree));
    if (group) TreeView_SelectItem(tree, TreeView_GetChild(tree, group));
    Sleep(300);  // drawn once: the reasons widen the list's extent
    SendMessageA(GetDlgItem(settings, kList), WM_HSCROLL, SB_RIGHT, 0);  // where the reasons are
    Show(settings, "candidates", 0);
    RunningProgram::Click(settings, kImportButton);
    Show(program.WaitForDialog(IsImport), "import", IDCANCEL);
    Sleep(500);
    PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
  }
  Sleep(500);
  program.PostCommand(kAboutCommand);
  Show(program.WaitForDialog(IsAbout), "about", IDOK);
  Sleep(500);
  if (program.OpenTrayMenu()) {
    Say("menu");
    Sleep(1500);
    Say("choosing the menu's exit command");
    program.PostMenuKey('X');
  } else {
    Say("the tray menu did not open; ending with the exit command");
    program.PostCommand(kExitCommand);
  }
  int code = program.WaitForExit();
  Say("ended with exit code " + std::to_string(code));
  return code == 0 ? 0 : 1;
}
