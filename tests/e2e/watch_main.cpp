// Starts belltide.exe in a folder and reports what a user would see: each
// status text, the going-resident, and the end. Used by tools/run without a
// display. Prints "shown" once the countdown runs in the status window and
// "menu" while the tray menu is open, so that the caller can take
// screenshots, and ends the program with the menu's exit command.
//   belltide_watch PROGRAM FOLDER

#include <cstdio>
#include <string>

#include "running_program.h"

namespace {

constexpr UINT kExitCommand = 32776;

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
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
