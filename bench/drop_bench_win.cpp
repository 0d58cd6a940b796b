// Time of a large drop on the settings dialog, in-process under Wine: a
// folder tree of 5,000 wave files (50 folders of 100, with one more level
// below half of them) dropped on an event's candidate list, from the
// WM_DROPFILES until the handler returns with the list and the tree
// updated. Median and best of several rounds, each on a fresh dialog.
//   cmake --build build/i686 --target drop_bench_win
//   tools/wine-exec build/i686/bench/drop_bench_win.exe [ROUNDS]

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "modal_script.h"
#include "settings/settings_dlg.h"
#include "timing_win.h"

namespace {

constexpr int kFolders = 50, kFilesPerFolder = 100;

// The tree in `root`: half of each folder's files one level further down.
void MakeTree(const std::string& root) {
  CreateDirectoryA(root.c_str(), nullptr);
  for (int f = 0; f < kFolders; ++f) {
    std::string folder = root + "\\Pack" + std::to_string(f);
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\More").c_str(), nullptr);
    for (int n = 0; n < kFilesPerFolder; ++n) {
      std::string file = folder + (n % 2 ? "\\More" : "") + "\\chime_" + std::to_string(n) + ".wav";
      CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
  }
}

HGLOBAL DropOf(const std::string& path) {
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  path.copy(reinterpret_cast<char*>(drop + 1), path.size());
  GlobalUnlock(memory);
  return memory;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 5;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string root = std::string(temp) + "belltide-drop-bench";
  MakeTree(root);
  std::string settings = root + "\\BTD.CFG";
  std::vector<double> times;
  int lines = 0;
  for (int round = 0; round < rounds; ++round) {
    HANDLE file = CreateFileA(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char kTable[] = "\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n\r\n";
    DWORD written;
    WriteFile(file, kTable, sizeof kTable - 1, &written, nullptr);
    CloseHandle(file);
    SettingsFile settingsFile;
    if (!settingsFile.Open(settings.c_str()) || !settingsFile.LoadSettings()) return 1;
    CSettingsDlg dialog(settingsFile, root.c_str());
    RunModal(dialog, [&] {
      HWND tree = dialog.GetDlgItem(1030);
      TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
      HWND list = dialog.GetDlgItem(1000);
      times.push_back(TimeMs([&] { SendMessageA(list, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(root)), 0); }));
      lines = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    });
  }
  Summary summary = Summarise(times);
  std::printf("drop of a folder tree of %d wave files: %d lines listed; median %.1f ms, best %.1f ms (%d rounds)\n",
              kFolders * kFilesPerFolder, lines, summary.median, summary.best, rounds);
  return lines == kFolders * kFilesPerFolder ? 0 : 1;
}
