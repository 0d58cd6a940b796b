#include <gtest/gtest.h>

#include "cp932.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "running_program.h"
#include "temp_dir.h"

namespace {

constexpr UINT kExitCommand = 32776;

std::string Waiting(int seconds) { return Cp932(("時間待ち中... : あと " + std::to_string(seconds) + "秒").c_str()); }

class Startup : public RegistryTest {
 protected:
  TempDir dir;
};

}  // namespace

TEST_F(Startup, EmptySettingsAreRestoredFromTheBackupWithAMessage) {
  dir.Write("BTD.CFG", "");
  dir.Write("BTD_BAK.CFG", "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n\r\n");
  RunningProgram program(dir.path());
  EXPECT_EQ(Cp932("前回異常終了したため、バックアップファイルから設定を復元しました。"), program.AnswerMessageBox());
  EXPECT_TRUE(program.WaitForStatus(Waiting(29)));  // the restored wait is counting down
  program.PostKey(VK_ESCAPE);
  EXPECT_EQ(0, program.WaitForExit());
  EXPECT_NE(std::string::npos, dir.Read("BTD.CFG").find("BootWaitTime=30\r\n"));
  EXPECT_EQ(dir.Read("BTD.CFG"), dir.Read("BTD_BAK.CFG"));
}

TEST_F(Startup, NonEmptySettingsNeverLookAtTheBackup) {
  dir.Write("BTD.CFG", "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=40\r\n\r\n");
  dir.Write("BTD_BAK.CFG", "Setup=1\r\nBootWaitTime=30\r\n\r\n");
  RunningProgram program(dir.path());
  EXPECT_TRUE(program.WaitForStatus(Waiting(39)));
  EXPECT_EQ("", program.AnswerMessageBox(0));
  program.PostKey(VK_RETURN);
  EXPECT_EQ(0, program.WaitForExit());
}

TEST_F(Startup, SecondCopyIsRefusedAndTheFirstRunsOn) {
  dir.Write("BTD.CFG", "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=60\r\n\r\n");
  RunningProgram first(dir.path());
  ASSERT_TRUE(first.WaitForStatus(Waiting(59)));

  RunningProgram second(dir.path());
  std::string refused = second.AnswerMessageBox();
  EXPECT_NE(std::string::npos, refused.find(Cp932("BTD.CFG がオープンできません。")));
  EXPECT_NE(std::string::npos, refused.find(Cp932("・２重に起動しようとした")));
  EXPECT_EQ(0, second.WaitForExit());
  EXPECT_FALSE(dir.Read("BTD_BAK.CFG").size());  // the refused copy wrote no backup

  EXPECT_TRUE(first.WaitForStatus(Waiting(56)));
  first.PostKey(VK_ESCAPE);
  EXPECT_EQ(0, first.WaitForExit());
  EXPECT_EQ(dir.Read("BTD.CFG"), dir.Read("BTD_BAK.CFG"));
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: e2e_tests path-of-belltide.exe\n");
    return 2;
  }
  SetProgramPath(argv[1]);
  return RUN_ALL_TESTS();
}
