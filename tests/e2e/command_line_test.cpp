#include <gtest/gtest.h>

#include "cp932.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "running_program.h"
#include "temp_dir.h"
#include "wave_file.h"

namespace {

std::string Sound() { return DefaultValue("AppEvents\\Schemes\\Apps\\.Default\\Beep\\.Current"); }

class CommandLine : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    RegistryKey::Create("AppEvents\\Schemes").SetString(nullptr, ".Default");
    dir.Write("BTD.CFG",
              "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=0\r\n\r\n\\.Default\r\nWindows\r\n\r\n"
              "Beep\r\nBeep\r\n-C:\\a.wav\r\n-C:\\b.wav\r\n-C:\\c.wav\r\n\r\n");
  }

  // A second start with `arguments` in `folder`: its exit code once it ended.
  static int Start(const std::string& arguments, const std::string& folder) {
    RunningProgram second(folder, arguments);
    return second.WaitForExit();
  }

  TempDir dir;
};

}  // namespace

// The switches reach the copy that runs from the folder they are given in,
// and it acts as its tray menu would; while its settings dialog is open the
// commands of that menu are refused.
TEST_F(CommandLine, SwitchesReachTheCopyOfTheirFolder) {
  RunningProgram first(dir.path());
  ASSERT_TRUE(first.WaitUntilHidden());
  EXPECT_EQ(0, Start("/change", dir.path()));
  EXPECT_EQ(".Current", DefaultValue("AppEvents\\Schemes"));
  std::string picked = Sound();
  EXPECT_EQ(0u, picked.find("C:\\")) << picked;
  EXPECT_EQ(0, Start("-SILENT", dir.path()));
  EXPECT_EQ(".None", DefaultValue("AppEvents\\Schemes"));

  TempDir elsewhere;  // no copy runs there: /exit has nothing to end, and makes no file
  EXPECT_EQ(0, Start("/exit", elsewhere.path()));
  EXPECT_EQ(-1, first.WaitForExit(0));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(elsewhere.File("BTD.CFG").c_str()));

  EXPECT_EQ(0, Start("/Settings", dir.path()));
  HWND settings = first.WaitForWindow(Cp932("Belltide 設定"));
  ASSERT_TRUE(settings);
  EXPECT_EQ(4, Start("/change", dir.path()));
  EXPECT_EQ(4, Start("/exit", dir.path()));
  EXPECT_EQ(".None", DefaultValue("AppEvents\\Schemes"));
  EXPECT_EQ(0, Start("/settings", dir.path()));  // brought to the front
  RunningProgram::Click(settings, IDCANCEL);

  RunningProgram bad(dir.path(), "/change /silent");
  EXPECT_NE(std::string::npos, bad.AnswerMessageBox().find("/settings"));
  EXPECT_EQ(2, bad.WaitForExit());

  EXPECT_EQ(0, Start("/exit", dir.path()));
  EXPECT_EQ(0, first.WaitForExit(0));  // ended before the second start did
  std::string saved = dir.Read("BTD.CFG");
  EXPECT_NE(std::string::npos, saved.find("+" + picked + "\r\n"));
  EXPECT_EQ(saved, dir.Read("BTD_BAK.CFG"));
}

// With no copy running, /change starts one that changes the sounds once it
// is in the tray, whatever the start-up options say.
TEST_F(CommandLine, ChangeStartsACopyWhenNoneRuns) {
  RunningProgram started(dir.path(), "/change");
  ASSERT_TRUE(started.WaitUntilHidden());
  EXPECT_EQ(".Current", DefaultValue("AppEvents\\Schemes"));
  EXPECT_EQ(0u, Sound().find("C:\\"));
  EXPECT_EQ(0, Start("/exit", dir.path()));
  EXPECT_EQ(0, started.WaitForExit(0));
}

// /logon from the Startup shortcut: with a copy of this folder running it
// does nothing; otherwise Belltide starts as usual. The window answers the
// end of the session and the unlock, played or not (Wine has no sound
// device here), and a cancelled end leaves it running.
TEST_F(CommandLine, LogonStartAndTheSessionsMessages) {
  dir.Write("BTD.CFG",
            "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=0\r\nSessionSounds=1\r\n\r\n\\.Default\r\nWindows\r\n\r\n");
  dir.Write("logoff.wav", WaveBytes(500));
  SetDefault("AppEvents\\Schemes\\Apps\\.Default\\WindowsLogoff\\.Current", dir.File("logoff.wav"));
  RunningProgram first(dir.path(), "/logon");
  ASSERT_TRUE(first.WaitUntilHidden());
  EXPECT_EQ(0, Start("/LOGON", dir.path()));
  HWND window = first.WaitForStatusWindow();
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer));
  EXPECT_EQ(TRUE, static_cast<BOOL>(answer));
  ASSERT_TRUE(SendMessageTimeoutA(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer));
  ASSERT_TRUE(SendMessageTimeoutA(window, WM_WTSSESSION_CHANGE, 8 /* WTS_SESSION_UNLOCK */, 0, SMTO_NORMAL, 10000,
                                  &answer));
  EXPECT_EQ(-1, first.WaitForExit(300));
  EXPECT_EQ(0, Start("/exit", dir.path()));
  EXPECT_EQ(0, first.WaitForExit(0));
}
