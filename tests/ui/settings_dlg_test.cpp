#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cp932.h"
#include "dropped_files.h"
#include "fake_system.h"
#include "modal_script.h"
#include "platform/registry.h"
#include "platform/win/unique_handle.h"
#include "registry_sandbox.h"
#include "settings/settings_dlg.h"
#include "settings_text.h"
#include "temp_dir.h"
#include "wave_file.h"

namespace {

constexpr int kTree = 1030, kList = 1000, kPlay = 1009, kAdd = 1003, kDelete = 1004, kNoSound = 1019,
              kSoundChange = 1018, kWait = 1023, kHours = 1025, kMinutes = 1026, kApply = 1013, kImport = 1012,
              kStartWithWindows = 1032, kSessionSounds = 1033;

const char kTable[] =
    "\r\n\\App\r\nApplication\r\n\r\nZulu\r\nZulu\r\n+C:\\z.wav\r\n\r\nAlpha\r\nAlpha\r\n\r\n"
    "\\Other\r\nOther\r\n\r\nMid\r\nMid\r\n-C:\\m1.wav\r\n+C:\\m2.wav\r\n-C:\\m3.wav\r\n\r\n";

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::vector<std::string> ListLines(HWND dialog) {
  HWND list = GetDlgItem(dialog, kList);
  std::vector<std::string> lines;
  for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    char text[512] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    lines.push_back(text);
  }
  return lines;
}

struct TreeItem {
  std::string text;
  LPARAM data;
  std::vector<TreeItem> children;
};

std::vector<TreeItem> TreeItems(HWND tree, HTREEITEM first) {
  std::vector<TreeItem> items;
  for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item)) {
    char text[256] = {};
    TVITEMA tvItem = {};
    tvItem.mask = TVIF_TEXT | TVIF_PARAM;
    tvItem.hItem = item;
    tvItem.pszText = text;
    tvItem.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvItem));
    items.push_back({text, tvItem.lParam, TreeItems(tree, TreeView_GetChild(tree, item))});
  }
  return items;
}

HTREEITEM FindItem(HWND tree, const std::string& prefix) {
  for (HTREEITEM group = TreeView_GetRoot(tree); group; group = TreeView_GetNextSibling(tree, group)) {
    for (HTREEITEM item = TreeView_GetChild(tree, group); item; item = TreeView_GetNextSibling(tree, item)) {
      char text[256] = {};
      TVITEMA tvItem = {};
      tvItem.mask = TVIF_TEXT;
      tvItem.hItem = item;
      tvItem.pszText = text;
      tvItem.cchTextMax = sizeof text;
      SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvItem));
      if (std::string(text).rfind(prefix, 0) == 0) return item;
    }
  }
  return nullptr;
}

// A drop of `names` as the shell delivers it, sent to the candidate list.
void DropFiles(HWND list, const std::vector<std::string>& names) {
  SendMessageA(list, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(names)), 0);
}

// Test texts are UTF-8; the program's are in the ANSI code page.
std::wstring Wide(const std::string& text, UINT codePage = CP_UTF8) {
  std::wstring wide(text.size(), L'\0');
  int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                   static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(length));
  return wide;
}

std::wstring LongPath(const std::string& ansi) {
  wchar_t longPath[MAX_PATH] = {};
  return std::wstring(longPath, GetLongPathNameW(Wide(ansi, CP_ACP).c_str(), longPath, MAX_PATH));
}

bool Opens(const std::string& ansi) {
  HANDLE file = CreateFileA(ansi.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// A real wave file at `path`, which may be past MAX_PATH under \\?\.
void WriteWave(const std::wstring& path) {
  const std::string wave = WaveBytes(10);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, wave.data(), static_cast<DWORD>(wave.size()), &written, nullptr);
  CloseHandle(file);
}

void SetText(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }
void Click(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

class SettingsDialog : public RegistryTest {
 protected:
  void Run(const std::string& options, const std::function<void(CSettingsDlg&, HWND)>& script) {
    dir.Write("BTD.CFG", options + kTable);
    ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
    file.LoadSettings();
    CSettingsDlg dlg(file, dir.path().c_str());
    RunModal(dlg, [&] { script(dlg, dlg.m_hWnd); });
  }

  struct WaveName {
    const char* utf8;
    bool spelled;  // by the code page
  };

  // A drop of a folder of `names`, given in name order with "Long name.wav"
  // among them: each file is listed, a name the code page spells as it is,
  // any other by a short path that opens it. The short path of a file listed
  // by its long one is refused as the same file.
  void DropFolderOf(const std::vector<WaveName>& names) {
    TempDir sounds;
    std::wstring folder = Wide(sounds.path());
    for (const WaveName& name : names) WriteWave(folder + L"\\" + Wide(name.utf8));
    char alias[MAX_PATH] = {};
    GetShortPathNameA(sounds.File("Long name.wav").c_str(), alias, MAX_PATH);
    ASSERT_NE(std::string::npos, std::string(alias).find('~'));
    MessageBoxWatcher boxes;
    Run("", [&](CSettingsDlg& dlg, HWND dialog) {
      Select(dialog, "Alpha");
      DropFiles(GetDlgItem(dialog, kList), {sounds.path()});
      std::vector<std::string> lines = ListLines(dialog);
      ASSERT_EQ(names.size(), lines.size());
      for (size_t i = 0; i < names.size(); ++i) {
        std::string path = lines[i].substr(1);
        std::wstring real = folder + L"\\" + Wide(names[i].utf8);
        EXPECT_EQ(real, LongPath(path)) << names[i].utf8;
        EXPECT_EQ(names[i].spelled, Wide(path, CP_ACP) == real) << names[i].utf8;
        EXPECT_TRUE(Opens(path)) << names[i].utf8;
      }
      dlg.AddCandidate(alias);
      EXPECT_EQ(names.size(), ListLines(dialog).size());
    });
    EXPECT_EQ(1u, boxes.seen().size());
  }

  void Select(HWND dialog, const std::string& prefix) {
    TreeView_SelectItem(GetDlgItem(dialog, kTree), FindItem(GetDlgItem(dialog, kTree), prefix));
  }

  TempDir dir;
  SettingsFile file;
};

}  // namespace

TEST_F(SettingsDialog, TemplateHasItsControlsWhereTheyBelong) {
  struct Expected {
    int id;
    const char* windowClass;
    RECT units;  // x, y, x + w, y + h in dialog units
    bool enabled;
  };
  const Expected controls[] = {
      {kTree, "SysTreeView32", {7, 20, 125, 170}, true}, {kList, "ListBox", {135, 20, 255, 148}, false},
      {kPlay, "Button", {135, 156, 171, 170}, false},    {kAdd, "Button", {178, 156, 214, 170}, false},
      {kDelete, "Button", {220, 156, 256, 170}, false},  {kNoSound, "Button", {7, 175, 94, 185}, true},
      {kSoundChange, "Button", {7, 190, 96, 200}, true}, {kWait, "Edit", {45, 201, 64, 215}, true},
      {kHours, "Edit", {135, 186, 150, 200}, true},      {kMinutes, "Edit", {176, 186, 192, 200}, true},
      {IDOK, "Button", {265, 20, 324, 34}, true},        {kApply, "Button", {265, 38, 324, 52}, false},
      {IDCANCEL, "Button", {265, 56, 324, 70}, true},    {kImport, "Button", {265, 74, 324, 88}, true},
      {1005, "Button", {265, 135, 324, 149}, true},      {1017, "Button", {265, 156, 324, 170}, true},
  };
  Run("", [&](CSettingsDlg&, HWND dialog) {
    EXPECT_EQ(Cp932("Belltide 設定"), WindowText(dialog));
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, kList), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    for (const Expected& control : controls) {
      HWND item = GetDlgItem(dialog, control.id);
      ASSERT_TRUE(item) << control.id;
      char className[64] = {};
      GetClassNameA(item, className, sizeof className);
      EXPECT_STREQ(control.windowClass, className) << control.id;
      RECT expected = control.units, actual;
      MapDialogRect(dialog, &expected);
      GetWindowRect(item, &actual);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
      EXPECT_EQ(expected.left, actual.left) << control.id;
      EXPECT_EQ(expected.top, actual.top) << control.id;
      EXPECT_EQ(control.enabled, Enabled(dialog, control.id)) << control.id;
    }
    EXPECT_EQ(Cp932("インポート(&I)..."), WindowText(GetDlgItem(dialog, kImport)));
    EXPECT_EQ(Cp932("ｷｬﾝｾﾙ"), WindowText(GetDlgItem(dialog, IDCANCEL)));
  });
}

TEST_F(SettingsDialog, TreeKeepsGroupOrderAndSortsEachGroupsEvents) {
  Run("", [&](CSettingsDlg&, HWND dialog) {
    std::vector<TreeItem> groups = TreeItems(GetDlgItem(dialog, kTree), TreeView_GetRoot(GetDlgItem(dialog, kTree)));
    ASSERT_EQ(2u, groups.size());
    EXPECT_EQ("Application", groups[0].text);
    EXPECT_EQ(0, groups[0].data);
    ASSERT_EQ(2u, groups[0].children.size());
    EXPECT_EQ("Alpha : 0", groups[0].children[0].text);
    EXPECT_EQ(2, groups[0].children[0].data);
    EXPECT_EQ("Zulu : 1", groups[0].children[1].text);
    EXPECT_EQ(1, groups[0].children[1].data);
    EXPECT_EQ("Other", groups[1].text);
    ASSERT_EQ(1u, groups[1].children.size());
    EXPECT_EQ("Mid : 3", groups[1].children[0].text);
    EXPECT_EQ(4, groups[1].children[0].data);
    EXPECT_EQ(std::vector<std::string>{Cp932("  <<<< イベントを選択してください  ")}, ListLines(dialog));
  });
}

TEST_F(SettingsDialog, CandidateAreaFollowsTheSelection) {
  Run("", [&](CSettingsDlg&, HWND dialog) {
    Select(dialog, "Mid");
    EXPECT_EQ((std::vector<std::string>{"-C:\\m1.wav", "+C:\\m2.wav", "-C:\\m3.wav"}), ListLines(dialog));
    EXPECT_TRUE(Enabled(dialog, kList));
    EXPECT_TRUE(Enabled(dialog, kAdd));
    EXPECT_FALSE(Enabled(dialog, kPlay));
    EXPECT_FALSE(Enabled(dialog, kDelete));
    SendMessageA(GetDlgItem(dialog, kList), LB_SETCURSEL, 1, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), 0);
    EXPECT_TRUE(Enabled(dialog, kPlay));
    EXPECT_TRUE(Enabled(dialog, kDelete));

    Select(dialog, "Alpha");  // an empty pool: an empty but usable list
    EXPECT_TRUE(ListLines(dialog).empty());
    EXPECT_TRUE(Enabled(dialog, kList));

    TreeView_SelectItem(GetDlgItem(dialog, kTree), TreeView_GetRoot(GetDlgItem(dialog, kTree)));  // a group
    EXPECT_EQ(1u, ListLines(dialog).size());
    EXPECT_FALSE(Enabled(dialog, kList));
    EXPECT_FALSE(Enabled(dialog, kAdd));
    EXPECT_FALSE(Enabled(dialog, kPlay));
  });
}

TEST_F(SettingsDialog, AddingRefusesOnlyTheSamePath) {
  MessageBoxWatcher boxes;
  Run("", [&](CSettingsDlg& dlg, HWND dialog) {
    Select(dialog, "Mid");
    dlg.AddCandidate("c:\\M2.WAV");  // '+' listed, other letter case: the same file
    dlg.AddCandidate("C:\\m1.wa");   // only the beginning of a listed path: another file
    dlg.AddCandidate("C:\\new.wav");
    EXPECT_EQ((std::vector<std::string>{"-C:\\m1.wav", "+C:\\m2.wav", "-C:\\m3.wav", "-C:\\m1.wa", "-C:\\new.wav"}),
              ListLines(dialog));
    EXPECT_EQ(5, file.table[4].count);
    EXPECT_NE(nullptr, FindItem(GetDlgItem(dialog, kTree), "Mid : 5"));
  });
  ASSERT_EQ(1u, boxes.seen().size());
  EXPECT_EQ(Cp932("同じファイルが既に登録されています。"), boxes.seen()[0].text);
}

// Only files that begin as wave files do are added, in drop order; the
// others are named in one message, each with its reason.
TEST_F(SettingsDialog, DroppedWaveFilesAreAddedInOrderAndTheOthersNamed) {
  TempDir sounds;
  for (const char* name : {"one.wav", "TWO.WAV", "three.wav", "locked.wav"}) sounds.Write(name, WaveBytes(10));
  sounds.Write("notes.txt", "text");
  sounds.Write("song.wav", kMp3Bytes);
  sounds.Write("empty.wav", "");
  HANDLE locked = CreateFileA(sounds.File("locked.wav").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  MessageBoxWatcher boxes;
  Run("", [&](CSettingsDlg&, HWND dialog) {
    Select(dialog, "Alpha");
    DropFiles(GetDlgItem(dialog, kList),
              {sounds.File("one.wav"), sounds.File("song.wav"), sounds.File("notes.txt"), sounds.File("TWO.WAV"),
               sounds.File("gone.wav"), sounds.File("empty.wav"), sounds.File("locked.wav"), sounds.File("three.wav")});
    EXPECT_EQ((std::vector<std::string>{"-" + sounds.File("one.wav"), "-" + sounds.File("TWO.WAV"),
                                        "-" + sounds.File("three.wav")}),
              ListLines(dialog));
    EXPECT_EQ(3, file.table[2].count);
    EXPECT_NE(nullptr, FindItem(GetDlgItem(dialog, kTree), "Alpha : 3"));
    EXPECT_TRUE(Enabled(dialog, kApply));
  });
  CloseHandle(locked);
  ASSERT_EQ(1u, boxes.seen().size());
  auto line = [&](const char* name, const char* reason) { return "\n" + sounds.File(name) + Cp932(reason); };
  EXPECT_EQ(Cp932("次のファイルは追加できませんでした。") + line("song.wav", "  （WAVE ファイルではありません）") +
                line("gone.wav", "  （ファイルがありません）") +
                line("empty.wav", "  （WAVE ファイルではありません）") + line("locked.wav", "  （開けません）"),
            boxes.seen()[0].text);
}

// A folder gives its .wav files in any letter case, its own first, then
// each subfolder, by name; the one already listed is counted, the one whose
// path is too long even by its short path named. A drop that adds nothing
// leaves Apply alone.
TEST_F(SettingsDialog, DroppedFolderAddsItsWaveFilesOnce) {
  TempDir sounds, solo;
  for (const char* folder : {"Sub0", "sub1", "Sub0\\notes"}) CreateDirectoryA(sounds.File(folder).c_str(), nullptr);
  for (const char* name : {"b.wav", "A.WAV", "Sub0\\e.wav", "sub1\\d.Wav", "sub1\\c.wav"})
    sounds.Write(name, WaveBytes(10));
  for (const char* name : {"read me.txt", "Sub0\\notes\\x.txt"}) sounds.Write(name, "");
  solo.Write("solo.wav", WaveBytes(10));
  const std::wstring top = L"\\\\?\\" + Wide(sounds.path());
  std::wstring deep = top;
  while (deep.size() < MAX_PATH + 40) CreateDirectoryW((deep += L"\\DEEPDEEP").c_str(), nullptr);  // 8.3 already
  WriteWave(deep + L"\\x.wav");
  auto in = [&](const char* name) { return "-" + sounds.File(name); };
  MessageBoxWatcher boxes;
  Run("", [&](CSettingsDlg& dlg, HWND dialog) {
    Select(dialog, "Alpha");
    DropFiles(GetDlgItem(dialog, kList), {sounds.File("Sub0\\notes")});
    EXPECT_FALSE(Enabled(dialog, kApply));
    dlg.AddCandidate(sounds.File("B.WAV").c_str());
    DropFiles(GetDlgItem(dialog, kList), {sounds.path(), solo.File("solo.wav")});
    EXPECT_EQ((std::vector<std::string>{in("B.WAV"), in("A.WAV"), in("Sub0\\e.wav"), in("sub1\\c.wav"),
                                        in("sub1\\d.Wav"), "-" + solo.File("solo.wav")}),
              ListLines(dialog));
    EXPECT_NE(nullptr, FindItem(GetDlgItem(dialog, kTree), "Alpha : 6"));
    EXPECT_TRUE(Enabled(dialog, kApply));
  });
  const std::wstring deepFile = deep.substr(4) + L"\\x.wav";  // named without the prefix, as the user knows it
  DeleteFileW((deep + L"\\x.wav").c_str());                   // TempDir removes nothing past MAX_PATH
  for (; deep != top; deep.resize(deep.rfind(L'\\'))) RemoveDirectoryW(deep.c_str());
  ASSERT_EQ(2u, boxes.seen().size());
  EXPECT_EQ(Cp932("1 個のファイルは既に登録されているため、追加しませんでした。"), boxes.seen()[0].text);
  EXPECT_EQ(Cp932("次のファイルは追加できませんでした。\n") + std::string(deepFile.begin(), deepFile.end()) +
                Cp932("  （パスが長すぎるか、使えない文字を含みます）"),
            boxes.seen()[1].text);
}

TEST_F(SettingsDialog, DroppedNamesOutsideTheCodePageComeByTheirShortPaths) {
  DropFolderOf({{"Café.wav", false},
                {"Long name.wav", true},
                {"Noël ♫.wav", false},
                {"チャイム.wav", true},
                {"한국어.wav", false}});
}

TEST_F(SettingsDialog, EnglishDropOfJapaneseNamesComesByTheirShortPaths) {
  DropFolderOf({{"Café.wav", true},
                {"Long name.wav", true},
                {"Noël ♫.wav", false},
                {"チャイム.wav", false},
                {"한국어.wav", false}});
}

// Acts on the open file dialog until `g_onFileDialog` says it is done.
std::function<bool(HWND)> g_onFileDialog;
void CALLBACK WatchFileDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND open = FindWindowA("#32770", Cp932("開く").c_str());
  if (open && IsWindowVisible(open) && g_onFileDialog(open)) KillTimer(nullptr, timer);
}

// The file dialog takes a typed folder as the folder to show, then several
// names at once, added in the order given; a name the code page cannot spell
// by its short path.
TEST_F(SettingsDialog, FileDialogAddsSeveralFilesAtOnce) {
  TempDir sounds;
  for (const char* name : {"one.wav", "two.wav", "three.wav"}) sounds.Write(name, WaveBytes(10));
  std::wstring unspelled = Wide(sounds.path() + "\\Noël ♫.wav");
  WriteWave(unspelled);
  std::string folderName = sounds.path().substr(sounds.path().find_last_of('\\') + 1);
  constexpr int kFileName = 1148, kLookIn = 1137;
  bool typedFolder = false;
  g_onFileDialog = [&](HWND open) {
    if (WindowText(GetDlgItem(open, kLookIn)) != folderName) {
      if (!typedFolder) SetDlgItemTextA(open, kFileName, sounds.path().c_str());
      if (!typedFolder) PostMessageA(open, WM_COMMAND, IDOK, 0);
      typedFolder = true;
      return false;
    }
    SetDlgItemTextW(open, kFileName, Wide("\"two.wav\" \"Noël ♫.wav\" \"one.wav\"").c_str());
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    return true;
  };
  MessageBoxWatcher boxes;  // a file left out would be told
  Run("", [&](CSettingsDlg&, HWND dialog) {
    Select(dialog, "Alpha");
    SetTimer(nullptr, 0, 100, WatchFileDialog);
    Click(dialog, kAdd);
    std::vector<std::string> lines = ListLines(dialog);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("-" + sounds.File("two.wav"), lines[0]);
    EXPECT_EQ(unspelled, LongPath(lines[1].substr(1)));
    EXPECT_EQ("-" + sounds.File("one.wav"), lines[2]);
    EXPECT_TRUE(Enabled(dialog, kApply));
  });
  EXPECT_TRUE(typedFolder);
  EXPECT_TRUE(boxes.seen().empty());
}

// The list greys what Windows may not play and says why after the path;
// the line itself stays the stored path, for Delete and a screen reader.
TEST_F(SettingsDialog, ListMarksWhatWindowsMayNotPlay) {
  TempDir sounds;
  sounds.Write("fine.wav", WaveBytes(10));
  sounds.Write("song.wav", kMp3Bytes);
  std::string float32 = WaveBytes(10);
  float32[20] = 3;  // the format tag: IEEE float
  sounds.Write("float.wav", float32);
  const std::vector<std::string> paths = {sounds.File("fine.wav"), sounds.File("gone.wav"), sounds.File("song.wav"),
                                          sounds.File("float.wav")};
  Run("", [&](CSettingsDlg& dlg, HWND dialog) {
    Select(dialog, "Alpha");
    for (const std::string& path : paths) dlg.AddCandidate(path.c_str());
    UpdateWindow(GetDlgItem(dialog, kList));
    EXPECT_EQ((std::vector<std::string>{"-" + paths[0], "-" + paths[1], "-" + paths[2], "-" + paths[3]}),
              ListLines(dialog));
    EXPECT_EQ("", std::string(dlg.CandidateRemark(0)));
    EXPECT_EQ(Cp932("  （ファイルがありません）"), std::string(dlg.CandidateRemark(1)));
    EXPECT_EQ(Cp932("  （WAVE ファイルではありません）"), std::string(dlg.CandidateRemark(2)));
    EXPECT_EQ(Cp932("  （Windows で鳴らせない形式の可能性があります）"), std::string(dlg.CandidateRemark(3)));
    sounds.Write("gone.wav", WaveBytes(10));  // found again: told when the event is shown anew
    EXPECT_NE("", std::string(dlg.CandidateRemark(1)));
    Select(dialog, "Mid");
    Select(dialog, "Alpha");
    EXPECT_EQ("", std::string(dlg.CandidateRemark(1)));
  });
}

// Apply lets notifications read the files of the Notification. events, and
// of no other, passes over a file that is not there, and names in one
// message the files that refused, with the system's reason.
TEST_F(SettingsDialog, ApplyLetsNotificationsReadTheirSoundsAndTellsWhatRefused) {
  TempDir sounds;
  for (const char* name : {"ding.wav", "refused.wav", "other.wav"}) sounds.Write(name, WaveBytes(10));
  dir.Write(
      "BTD.CFG",
      "Setup=1\r\n\r\n" + GroupBlock("\\.Default", "Windows") +
          EventBlock("Notification.Default", "Notification",
                     {"-" + sounds.File("ding.wav"), "+" + sounds.File("refused.wav"), "-" + sounds.File("gone.wav")}) +
          EventBlock("SystemHand", "Critical Stop", {"-" + sounds.File("other.wav")}) + GroupBlock("\\Mail", "Mail") +
          EventBlock("notification.mail", "New Mail", {"-" + sounds.File("ding.wav")}));
  ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
  file.LoadSettings();
  fake_system::Start();
  MessageBoxWatcher boxes;
  CSettingsDlg dlg(file, dir.path().c_str(), nullptr, fake_system::ReadGrant);
  RunModal(dlg, [&] {
    EXPECT_TRUE(fake_system::grants.empty());  // nothing until Apply
    Click(dlg.m_hWnd, kApply);
  });
  EXPECT_EQ((std::vector<std::string>{sounds.File("ding.wav"), sounds.File("refused.wav")}), fake_system::grants);
  ASSERT_EQ(1u, boxes.seen().size());
  EXPECT_EQ(0u, boxes.seen()[0].text.find(
                    Cp932("次のファイルに、Windows の通知が読み取るためのアクセス許可を追加できませんでした。")));
  EXPECT_NE(std::string::npos, boxes.seen()[0].text.find("\n" + sounds.File("refused.wav") + ": "));
  EXPECT_EQ(std::string::npos, boxes.seen()[0].text.find("ding.wav"));
}

TEST_F(SettingsDialog, DeletingKeepsALineSelectedWhileAnyRemain) {
  Run("", [&](CSettingsDlg&, HWND dialog) {
    Select(dialog, "Mid");
    HWND list = GetDlgItem(dialog, kList);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    Click(dialog, kDelete);  // a middle line: the next one moves up and is selected
    EXPECT_EQ((std::vector<std::string>{"-C:\\m1.wav", "-C:\\m3.wav"}), ListLines(dialog));
    EXPECT_EQ(1, SendMessageA(list, LB_GETCURSEL, 0, 0));
    Click(dialog, kDelete);  // the last line: the one before it is selected
    EXPECT_EQ(0, SendMessageA(list, LB_GETCURSEL, 0, 0));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), 0);
    Click(dialog, kDelete);
    EXPECT_TRUE(ListLines(dialog).empty());
    EXPECT_FALSE(Enabled(dialog, kPlay));
    EXPECT_FALSE(Enabled(dialog, kDelete));
    EXPECT_NE(nullptr, FindItem(GetDlgItem(dialog, kTree), "Mid : 0"));
    EXPECT_EQ(0, file.table[4].count);
    EXPECT_TRUE(Enabled(dialog, kApply));
  });
}

TEST_F(SettingsDialog, ApplyStoresTheOptionsAndEverythingEdited) {
  Run("Setup=0\r\nBootOnNoSound=0\r\nBootOnSoundChange=1\r\nBootWaitTime=5\r\nTimer=135\r\n", [&](CSettingsDlg& dlg,
                                                                                                  HWND dialog) {
    EXPECT_EQ("2", WindowText(GetDlgItem(dialog, kHours)));
    EXPECT_EQ("15", WindowText(GetDlgItem(dialog, kMinutes)));
    EXPECT_EQ("5", WindowText(GetDlgItem(dialog, kWait)));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, kSoundChange));
    Select(dialog, "Alpha");
    dlg.AddCandidate("C:\\added.wav");
    CheckDlgButton(dialog, kNoSound, BST_CHECKED);  // alone it leaves Apply as it is
    SetText(dialog, kHours, "1");
    SetText(dialog, kMinutes, "75");  // outside the arrows' range, taken as typed
    SetText(dialog, kWait, "1200");
    Click(dialog, kApply);
    EXPECT_FALSE(Enabled(dialog, kApply));
    EXPECT_EQ(135, file.settings.Timer);
    EXPECT_EQ(1200, file.settings.BootWaitTime);
    EXPECT_EQ(1, file.settings.BootOnNoSound);
    EXPECT_EQ(1, file.settings.Setup);
    std::string saved = Contents(file);
    EXPECT_NE(std::string::npos,
              saved.find("Setup=1\r\nBootOnNoSound=1\r\nBootOnSoundChange=1\r\nBootWaitTime=1200\r\nTimer=135\r\n"));
    EXPECT_NE(std::string::npos, saved.find("Alpha\r\nAlpha\r\n-C:\\added.wav\r\n"));
  });
}

TEST_F(SettingsDialog, FieldThatIsNotANumberStopsTheReadingButNotTheSave) {
  MessageBoxWatcher boxes;
  Run("Setup=1\r\nBootWaitTime=5\r\nTimer=135\r\n", [&](CSettingsDlg&, HWND dialog) {
    SetText(dialog, kWait, "9");
    SetText(dialog, kHours, "abc");
    SetText(dialog, kMinutes, "7");
    Click(dialog, IDOK);  // Apply's steps, then the closing exchange fails again
    Pump(100);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(9, file.settings.BootWaitTime);
    EXPECT_EQ(135, file.settings.Timer);  // hours kept, minutes after them not read
    EXPECT_NE(std::string::npos, Contents(file).find("BootWaitTime=9\r\n"));
  });
  ASSERT_EQ(2u, boxes.seen().size());
  EXPECT_EQ(Cp932("整数を入力してください。"), boxes.seen()[0].text);
}

TEST_F(SettingsDialog, CancelReadsTheFileBackAsLastApplied) {
  Run("Setup=1\r\nTimer=10\r\n", [&](CSettingsDlg& dlg, HWND dialog) {
    Select(dialog, "Alpha");
    dlg.AddCandidate("C:\\kept.wav");
    Click(dialog, kApply);
    dlg.AddCandidate("C:\\dropped.wav");
    SetText(dialog, kMinutes, "30");
    EXPECT_EQ(2, file.table[2].count);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(1, file.table[2].count);
  EXPECT_EQ(CString("-C:\\kept.wav|"), file.table[2].files);
  EXPECT_EQ(10, file.settings.Timer);
}

// The session sounds' box: a click enables Apply, Apply saves the option,
// Cancel goes back to what was applied. This Wine reports Windows 10, where
// the box is offered.
TEST_F(SettingsDialog, SessionSoundsBoxIsSavedByApplyAndRestoredByCancel) {
  Run("Setup=1\r\n", [&](CSettingsDlg&, HWND dialog) {
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kSessionSounds)));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, kSessionSounds));
    CheckDlgButton(dialog, kSessionSounds, BST_CHECKED);
    Click(dialog, kSessionSounds);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kApply)));
    Click(dialog, kApply);
    EXPECT_NE(std::string::npos, Contents(file).find("\r\nTimer=0\r\nSessionSounds=1\r\n\r\n"));
    CheckDlgButton(dialog, kSessionSounds, BST_UNCHECKED);
    Click(dialog, kSessionSounds);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(1, file.settings.SessionSounds);
}

TEST_F(SettingsDialog, ImportRefillsTheTreeAndNothingIsEditedWithoutAnEvent) {
  WhenWindowAppears import(Cp932("サウンド設定のインポート"), [](HWND window) {
    HWND list = GetDlgItem(window, 1000);
    char first[256] = {};
    SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(0u, std::string(first).rfind(Cp932("(現在の設定)"), 0));
    PostMessageA(window, WM_COMMAND, IDOK, 0);  // nothing selected
  });
  Run("Setup=1\r\n", [&](CSettingsDlg& dlg, HWND dialog) {
    Select(dialog, "Mid");
    Click(dialog, kImport);
    EXPECT_TRUE(import.seen());
    EXPECT_TRUE(Enabled(dialog, kApply));
    EXPECT_EQ(nullptr, TreeView_GetSelection(GetDlgItem(dialog, kTree)));
    EXPECT_FALSE(Enabled(dialog, kAdd));
    EventTable before = file.table;
    dlg.AddCandidate("C:\\nowhere.wav");
    Click(dialog, kDelete);
    for (size_t i = 0; i < before.size(); ++i) {
      EXPECT_EQ(before[i].files, file.table[i].files);
      EXPECT_EQ(before[i].count, file.table[i].count);
    }
  });
}

namespace {

std::wstring StartupFolder() {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// A new shell link with its file.
struct ShellLink {
  ShellLink() {
    IShellLinkW* shellLink = nullptr;
    IPersistFile* persistFile = nullptr;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                     reinterpret_cast<void**>(&shellLink));
    link.reset(shellLink);
    link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persistFile));
    file.reset(persistFile);
  }
  UniqueCom<IShellLinkW> link;
  UniqueCom<IPersistFile> file;
};

// Each shortcut of the Startup folder as "name: target [arguments] | working folder", by name.
std::vector<std::wstring> StartupShortcuts() {
  std::vector<std::wstring> shortcuts;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((StartupFolder() + L"\\*.lnk").c_str(), &found));
  for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.get(), &found)) {
    ShellLink shortcut;
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, arguments[MAX_PATH] = {};
    shortcut.file.get()->Load((StartupFolder() + L"\\" + found.cFileName).c_str(), STGM_READ);
    shortcut.link.get()->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    shortcut.link.get()->GetWorkingDirectory(folder, MAX_PATH);
    shortcut.link.get()->GetArguments(arguments, MAX_PATH);
    shortcuts.push_back(std::wstring(found.cFileName) + L": " + target + (*arguments ? L" " : L"") + arguments +
                        L" | " + folder);
  }
  std::sort(shortcuts.begin(), shortcuts.end());
  return shortcuts;
}

void MakeShortcut(const std::wstring& name, const std::wstring& folder) {
  ShellLink shortcut;
  shortcut.link.get()->SetPath(ThisProgram().c_str());
  shortcut.link.get()->SetWorkingDirectory(folder.c_str());
  shortcut.file.get()->Save((StartupFolder() + L"\\" + name).c_str(), TRUE);
}

}  // namespace

// The option is a shortcut in the Startup folder, not a line of BTD.CFG:
// this program, working in this folder. The shortcut of a copy in another
// folder is neither shown as ours nor touched, even under our name.
TEST_F(SettingsDialog, StartWithWindowsMakesAndRemovesOurShortcutOnly) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  MakeShortcut(L"Belltide.lnk", L"C:\\another copy");
  const std::wstring theirs = L"Belltide.lnk: " + ThisProgram() + L" | C:\\another copy";
  std::string optionsBefore;
  Run("Setup=1\r\n", [&](CSettingsDlg&, HWND dialog) {
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, kStartWithWindows));
    optionsBefore = Contents(file).substr(0, Contents(file).find("\r\n\r\n"));
    CheckDlgButton(dialog, kStartWithWindows, BST_CHECKED);
    Click(dialog, IDOK);
  });
  std::wstring folder(dir.path().begin(), dir.path().end());
  EXPECT_EQ((std::vector<std::wstring>{L"Belltide (2).lnk: " + ThisProgram() + L" /logon | " + folder, theirs}),
            StartupShortcuts());
  EXPECT_EQ(optionsBefore, Contents(file).substr(0, Contents(file).find("\r\n\r\n")));

  CSettingsDlg again(file, dir.path().c_str());
  RunModal(again, [&] {
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(again.m_hWnd, kStartWithWindows));
    CheckDlgButton(again.m_hWnd, kStartWithWindows, BST_UNCHECKED);
    Click(again.m_hWnd, IDOK);
  });
  EXPECT_EQ(std::vector<std::wstring>{theirs}, StartupShortcuts());
  DeleteFileW((StartupFolder() + L"\\Belltide.lnk").c_str());
  CoUninitialize();
}

// A shortcut an earlier version made starts without /logon: OK makes it anew,
// so that the log-on sound comes with the next log-on.
TEST_F(SettingsDialog, StartWithWindowsRenewsAShortcutWithoutTheLogonSwitch) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::wstring folder(dir.path().begin(), dir.path().end());
  MakeShortcut(L"Belltide.lnk", folder);
  Run("Setup=1\r\n", [&](CSettingsDlg&, HWND dialog) {
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, kStartWithWindows));
    Click(dialog, IDOK);
  });
  EXPECT_EQ(std::vector<std::wstring>{L"Belltide.lnk: " + ThisProgram() + L" /logon | " + folder}, StartupShortcuts());
  DeleteFileW((StartupFolder() + L"\\Belltide.lnk").c_str());
  CoUninitialize();
}
