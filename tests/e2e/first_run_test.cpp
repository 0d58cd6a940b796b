#include <gtest/gtest.h>

#include <string>

#include "cp932.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "running_program.h"
#include "temp_dir.h"

namespace {

constexpr UINT kExitCommand = 32776;
constexpr int kImportButton = 1012, kApplyButton = 1013, kSelectAll = 1003, kSchemeList = 1000;

std::string Sound(const char* event) {
  return DefaultValue(std::string("AppEvents\\Schemes\\Apps\\.Default\\") + event + "\\.Current");
}

// The item in the ANSI code page; read as UTF-16, which Wine marshals between processes.
std::string ListItem(HWND list, int index) {
  wchar_t wide[512] = {};
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
  char text[1024] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

class FirstRun : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    SetDefault("AppEvents\\Schemes", ".Default");
    SetDefault("AppEvents\\Schemes\\Apps\\.Default", "Windows");
    SetDefault("AppEvents\\EventLabels\\Beep", Cp932("一般の警告音"));
    SetDefault("AppEvents\\Schemes\\Apps\\.Default\\Beep\\.Current", "C:\\now.wav");
    SetDefault("AppEvents\\Schemes\\Apps\\.Default\\Beep\\Jazz", "C:\\jazz-beep.wav");
    SetDefault("AppEvents\\Schemes\\Apps\\.Default\\Asterisk\\Jazz", "C:\\jazz-asterisk.wav");
    SetDefault("AppEvents\\Schemes\\Names\\Jazz", Cp932("ジャズ"));
    SetDefault("AppEvents\\Schemes\\Names\\.None", Cp932("サウンドなし"));
  }

  TempDir dir;
};

}  // namespace

// Message, import of the current sounds and a scheme, Apply and OK; then a
// restart, which reassigns from the imported pools and continues the cycle.
TEST_F(FirstRun, ImportApplyAndRestart) {
  {
    RunningProgram program(dir.path());
    EXPECT_EQ(Cp932("－初回起動メッセージ－\n最初に、「インポート」を行ってください。"), program.AnswerMessageBox());
    HWND settings = program.WaitForWindow(Cp932("Belltide 設定"));
    ASSERT_TRUE(settings);

    RunningProgram::Click(settings, kImportButton);
    HWND import = program.WaitForWindow(Cp932("サウンド設定のインポート"));
    ASSERT_TRUE(import);
    HWND list = GetDlgItem(import, kSchemeList);
    ASSERT_EQ(2, SendMessageA(list, LB_GETCOUNT, 0, 0));  // ".None" is not offered
    EXPECT_EQ(0u, ListItem(list, 0).rfind(Cp932("(現在の設定)"), 0));
    EXPECT_EQ(".Current", ListItem(list, 0).substr(100));
    EXPECT_EQ("Jazz", ListItem(list, 1).substr(100));
    RunningProgram::Click(import, kSelectAll);
    RunningProgram::Click(import, IDOK);

    ASSERT_TRUE(program.WaitForWindow(Cp932("Belltide 設定")));
    for (int waited = 0; waited < 5000 && !IsWindowEnabled(GetDlgItem(settings, kApplyButton)); waited += 50) Sleep(50);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(settings, kApplyButton)));  // the import enabled Apply
    RunningProgram::Click(settings, kApplyButton);
    RunningProgram::Click(settings, IDOK);

    ASSERT_TRUE(program.WaitUntilHidden());
    std::string sound = Sound("Beep");
    EXPECT_TRUE(sound == "C:\\now.wav" || sound == "C:\\jazz-beep.wav") << sound;
    EXPECT_EQ("C:\\jazz-asterisk.wav", Sound("Asterisk"));
    program.PostCommand(kExitCommand);
    EXPECT_EQ(0, program.WaitForExit());
  }
  std::string saved = dir.Read("BTD.CFG");
  EXPECT_NE(std::string::npos, saved.find("\r\nSetup=1\r\n"));
  EXPECT_NE(std::string::npos, saved.find("\r\nAsterisk\r\nAsterisk\r\n-C:\\jazz-asterisk.wav\r\n\r\n"));
  EXPECT_NE(std::string::npos, saved.find("\r\nBeep\r\n" + Cp932("一般の警告音") + "\r\n"));
  EXPECT_NE(std::string::npos, saved.find("C:\\now.wav\r\n"));
  EXPECT_NE(std::string::npos, saved.find("C:\\jazz-beep.wav\r\n"));
  EXPECT_EQ(saved, dir.Read("BTD_BAK.CFG"));

  {
    RunningProgram program(dir.path());  // Setup is 1 now: no message, no settings dialog
    ASSERT_TRUE(program.WaitUntilHidden());
    EXPECT_EQ("", program.AnswerMessageBox(0));
    program.PostCommand(kExitCommand);
    EXPECT_EQ(0, program.WaitForExit());
  }
  saved = dir.Read("BTD.CFG");
  EXPECT_NE(std::string::npos, saved.find("+C:\\now.wav\r\n+C:\\jazz-beep.wav\r\n"));  // the cycle went on
}
