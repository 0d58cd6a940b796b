// belltide.exe unpacked into a folder that others write to, such as
// Downloads: a DLL named as a system library, dropped beside the program or
// into the folder it is started in, is never loaded.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/file_path.h"
#include "running_program.h"
#include "temp_dir.h"

namespace {

constexpr UINT kSettingsCommand = 32773, kExitCommand = 32776;
constexpr int kTree = 1030, kList = 1000, kPlayButton = 1009, kAddButton = 1003, kVersionButton = 1017,
              kFileName = 1148;

// Windows loads the first file of a DLL's name on the search path unless the
// name is a KnownDLL; Wine prefers its own copy of most system DLLs unless
// told otherwise for a program, as here. winmm is the DLL beyond the
// KnownDLLs that Belltide itself needs, for the audition.
constexpr char kPlanted[] = "winmm.dll";
constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults\\belltide.exe";
constexpr char kNativeFirst[] = "native,builtin";

// The plain program that loads a DLL by its bare name.
constexpr char kControl[] = "plain_loader.exe";
constexpr char kControlDefaults[] = "Software\\Wine\\AppDefaults\\plain_loader.exe";

// Built beside the tests.
std::string BesideTheTests(const char* name) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return SiblingPath(self, name).str();
}

class PlantedDlls : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* app : {kAppDefaults, kControlDefaults})
      ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(app) + "\\DllOverrides").c_str(),
                                               "winmm", REG_SZ, kNativeFirst, sizeof kNativeFirst));
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE));
    const std::string dll = BesideTheTests("planted_dll.dll");
    ASSERT_TRUE(CopyFileA(dll.c_str(), programFolder.File(kPlanted).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(dll.c_str(), workingFolder.File(kPlanted).c_str(), FALSE));
    workingFolder.Write("BTD.CFG",
                        "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=0\r\n\r\n"
                        "\\.Default\r\nWindows\r\n\r\nBeep\r\nBeep\r\n-C:\\a.wav\r\n\r\n");
  }
  void TearDown() override {
    for (const char* app : {kAppDefaults, kControlDefaults}) RegDeleteTreeA(HKEY_CURRENT_USER, app);
  }

  // A planted DLL leaves this file beside itself when it is loaded.
  static bool Loaded(const TempDir& folder) {
    return GetFileAttributesA((folder.File(kPlanted) + ".loaded").c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  TempDir programFolder, workingFolder;
  std::string program = programFolder.File("belltide.exe");
};

bool IsSettings(HWND window) { return GetDlgItem(window, kTree) != nullptr; }
bool IsFileDialog(HWND window) { return GetDlgItem(window, kFileName) != nullptr; }
bool IsVersionBox(HWND window) { return GetDlgItem(window, IDOK) && !IsSettings(window) && !IsFileDialog(window); }

// Start, settings with an audition, the file dialog, the version box, exit.
void UseTheWindows(RunningProgram& running) {
  ASSERT_TRUE(running.WaitUntilHidden());
  running.PostCommand(kSettingsCommand);
  HWND settings = running.WaitForDialog(IsSettings);
  ASSERT_TRUE(settings);
  HWND tree = GetDlgItem(settings, kTree);
  LPARAM group = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, group));
  HWND candidates = GetDlgItem(settings, kList);
  ASSERT_EQ(1, SendMessageA(candidates, LB_GETCOUNT, 0, 0));
  SendMessageA(candidates, LB_SETCURSEL, 0, 0);
  RunningProgram::Click(settings, kPlayButton);

  RunningProgram::Click(settings, kAddButton);
  HWND open = running.WaitForDialog(IsFileDialog);
  ASSERT_TRUE(open);
  PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(running.WaitForDialog(IsSettings));
  RunningProgram::Click(settings, kVersionButton);
  HWND version = running.WaitForDialog(IsVersionBox);
  ASSERT_TRUE(version);
  PostMessageA(version, WM_COMMAND, IDOK, 0);
  RunningProgram::Click(settings, IDCANCEL);
  running.PostCommand(kExitCommand);
  EXPECT_EQ(0, running.WaitForExit());
}

}  // namespace

TEST_F(PlantedDlls, AreNeverLoaded) {
  {
    const std::string control = programFolder.File(kControl);
    ASSERT_TRUE(CopyFileA(BesideTheTests(kControl).c_str(), control.c_str(), FALSE));
    RunningProgram plain(workingFolder.path(), "", control);
    EXPECT_EQ(0, plain.WaitForExit());
  }
  ASSERT_TRUE(Loaded(programFolder)) << "a plain program beside it does not load the planted DLL here either: "
                                        "the test would prove nothing";
  ASSERT_TRUE(DeleteFileA((programFolder.File(kPlanted) + ".loaded").c_str()));
  {
    RunningProgram running(workingFolder.path(), "", program);
    UseTheWindows(running);
  }
  EXPECT_FALSE(Loaded(programFolder));
  EXPECT_FALSE(Loaded(workingFolder));
}
