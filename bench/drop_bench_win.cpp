// Time of a large drop on the settings dialog, in-process under Wine: a
// folder tree of 5,000 wave files (50 folders of 100, with one more level
// below half of them) dropped on an event's candidate list, from the
// WM_DROPFILES until the handler returns with the list and the tree
// updated; then the selection of that event of 5,000 candidates, from the
// tree's click until the list has been painted; then the deletion of its
// first line, until the list has been painted again. Median and best of several
// rounds, each on a fresh dialog. A second tree holds names the code page
// cannot spell, added by their short paths.
//   cmake --build build/i686 --target drop_bench_win
//   tools/wine-exec build/i686/bench/drop_bench_win.exe [ROUNDS]

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dropped_files.h"
#include "modal_script.h"
#include "settings/settings_dlg.h"
#include "timing_win.h"
#include "wave_file.h"

namespace {

constexpr int kFolders = 50, kFilesPerFolder = 100;
const std::string kWave = WaveBytes(50);

// The tree in `root`: half of each folder's files one level further down.
void MakeTree(const std::wstring& root, const std::wstring& stem) {
  CreateDirectoryW(root.c_str(), nullptr);
  for (int f = 0; f < kFolders; ++f) {
    std::wstring folder = root + L"\\Pack" + std::to_wstring(f);
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\More").c_str(), nullptr);
    for (int n = 0; n < kFilesPerFolder; ++n) {
      std::wstring file = folder + (n % 2 ? L"\\More" : L"") + L"\\" + stem + std::to_wstring(n) + L".wav";
      HANDLE wave = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD written;
      WriteFile(wave, kWave.data(), static_cast<DWORD>(kWave.size()), &written, nullptr);
      CloseHandle(wave);
    }
  }
}

// Drops the tree in `root` (an ASCII path) on a fresh dialog each round;
// prints the figures and tells whether every file was listed.
bool TimeDrops(const std::string& root, const char* what, int rounds) {
  std::string settings = root + "\\BTD.CFG";
  std::vector<double> times, selections, deletions;
  int lines = 0;
  for (int round = 0; round < rounds; ++round) {
    HANDLE file = CreateFileA(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char kTable[] = "\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n\r\nOther\r\nOther\r\n\r\n";
    DWORD written;
    WriteFile(file, kTable, sizeof kTable - 1, &written, nullptr);
    CloseHandle(file);
    SettingsFile settingsFile;
    if (!settingsFile.Open(settings.c_str()) || !settingsFile.LoadSettings()) return false;
    CSettingsDlg dialog(settingsFile, root.c_str());
    RunModal(dialog, [&] {
      HWND tree = dialog.GetDlgItem(1030);
      TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
      HWND list = dialog.GetDlgItem(1000);
      times.push_back(TimeMs([&] { SendMessageA(list, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({root})), 0); }));
      lines = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
      HTREEITEM event = TreeView_GetSelection(tree);
      TreeView_SelectItem(tree, TreeView_GetNextSibling(tree, event));
      UpdateWindow(list);
      selections.push_back(TimeMs([&] {
        TreeView_SelectItem(tree, event);
        UpdateWindow(list);
      }));
      SendMessageA(list, LB_SETCURSEL, 0, 0);
      SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(1000, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
      deletions.push_back(TimeMs([&] {
        SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), 0);
        UpdateWindow(list);
      }));
    });
  }
  Summary summary = Summarise(times), selection = Summarise(selections), deletion = Summarise(deletions);
  std::printf("drop of a folder tree of %d wave files%s: %d lines listed; median %.1f ms, best %.1f ms (%d rounds)\n",
              kFolders * kFilesPerFolder, what, lines, summary.median, summary.best, rounds);
  std::printf("selection of that event: median %.1f ms, best %.1f ms\n", selection.median, selection.best);
  std::printf("deletion of its first line: median %.1f ms, best %.1f ms\n", deletion.median, deletion.best);
  return lines == kFolders * kFilesPerFolder;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 5;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string plain = std::string(temp) + "belltide-drop-bench", unspelled = plain + "-short";
  MakeTree(std::wstring(plain.begin(), plain.end()), L"chime_");
  MakeTree(std::wstring(unspelled.begin(), unspelled.end()), L"chime\u266B_");
  bool listed = TimeDrops(plain, "", rounds);
  listed = TimeDrops(unspelled, " named outside the code page", rounds) && listed;
  return listed ? 0 : 1;
}
