// The end of the Windows session (log-off, shutdown) as wineboot brings it:
// every window of the prefix is asked, then told, then what remains ends.
// It ends Wine's own services too, so it has a ctest entry of its own.

#include <gtest/gtest.h>

#include "registry_sandbox.h"
#include "running_program.h"
#include "temp_dir.h"

namespace {

constexpr UINT kReassignCommand = 32774;

class SessionEnd : public RegistryTest {
 protected:
  TempDir dir;
};

}  // namespace

TEST_F(SessionEnd, EndsTheProgramAsExitWould) {
  if (!GetProcAddress(GetModuleHandleA("ntdll"), "wine_get_version"))
    GTEST_SKIP() << "needs Wine: wineboot --end-session ends the session here; on Windows a test cannot end its own";
  dir.Write("BTD.CFG",
            "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=0\r\n\r\n\\.Default\r\nWindows\r\n\r\n"
            "Beep\r\nBeep\r\n-C:\\a.wav\r\n-C:\\b.wav\r\n-C:\\c.wav\r\n\r\n");
  RunningProgram program(dir.path());
  ASSERT_TRUE(program.WaitUntilHidden());
  SendMessageTimeoutA(program.WaitForStatusWindow(), WM_COMMAND, kReassignCommand, 0, SMTO_NORMAL, 10000, nullptr);

  ASSERT_TRUE(RunToEnd("wineboot.exe --end-session --force"));
  EXPECT_NE(-1, program.WaitForExit(10000));
  std::string settings = dir.Read("BTD.CFG");
  EXPECT_NE(std::string::npos, settings.find("\r\n+C:\\")) << "the reassignment is saved";
  EXPECT_EQ(settings, dir.Read("BTD_BAK.CFG"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.File("BTD_SAVE.CFG").c_str()));
}
