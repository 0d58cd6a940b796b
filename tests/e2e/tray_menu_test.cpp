#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/registry.h"
#include "registry_sandbox.h"
#include "running_program.h"
#include "temp_dir.h"

namespace {

std::string Sound(const char* event) {
  return DefaultValue(std::string("AppEvents\\Schemes\\Apps\\.Default\\") + event + "\\.Current");
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

bool Sleeps(const std::function<bool()>& condition, int milliseconds = 10000) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

class TrayMenu : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    RegistryKey::Create("AppEvents\\Schemes").SetString(nullptr, ".Default");
    dir.Write("BTD.CFG",
              "Setup=1\r\nBootOnSoundChange=1\r\nBootWaitTime=0\r\n\r\n"
              "\\.Default\r\nWindows\r\n\r\n"
              "Beep\r\nBeep\r\n-C:\\a.wav\r\n-C:\\b.wav\r\n-C:\\c.wav\r\n\r\n"
              "Quiet\r\nQuiet\r\n\r\n");
  }

  // Readable only once the program has ended: it holds the file exclusively.
  std::string Settings() { return dir.Read("BTD.CFG"); }

  TempDir dir;
};

}  // namespace

TEST_F(TrayMenu, StartupReassignsThenTheMenuSilencesReassignsAndExits) {
  RunningProgram program(dir.path());
  ASSERT_TRUE(program.WaitUntilHidden());
  EXPECT_EQ(".Current", DefaultValue("AppEvents\\Schemes"));
  std::string first = Sound("Beep");
  EXPECT_TRUE(first == "C:\\a.wav" || first == "C:\\b.wav" || first == "C:\\c.wav") << first;
  EXPECT_EQ("", Sound("Quiet"));

  ASSERT_TRUE(program.OpenTrayMenu());
  program.PostMenuKey('N');
  EXPECT_TRUE(Sleeps([] { return DefaultValue("AppEvents\\Schemes") == ".None"; }));
  EXPECT_EQ("", Sound("Beep"));  // silent for real

  ASSERT_TRUE(program.OpenTrayMenu());
  program.PostMenuKey('R');
  EXPECT_TRUE(Sleeps([] { return !Sound("Beep").empty(); }));  // written after the scheme
  EXPECT_EQ(".Current", DefaultValue("AppEvents\\Schemes"));
  std::string second = Sound("Beep");
  EXPECT_NE(first, second);  // no repeat within a cycle

  ASSERT_TRUE(program.OpenTrayMenu());
  program.PostMenuKey('C');  // cancel: nothing happens
  Sleep(300);
  EXPECT_EQ(second, Sound("Beep"));

  ASSERT_TRUE(program.OpenTrayMenu());
  program.PostMenuKey('X');
  EXPECT_EQ(0, program.WaitForExit());
  std::string saved = Settings();
  EXPECT_NE(std::string::npos, saved.find("+" + first + "\r\n"));  // the cycle is recorded
  EXPECT_NE(std::string::npos, saved.find("+" + second + "\r\n"));
  EXPECT_EQ(1u, CountOf(saved, "\r\n-"));  // one candidate left in this cycle
  EXPECT_EQ(saved, dir.Read("BTD_BAK.CFG"));
}

// This process plays the Sound panel's part: a scheme applied in Windows
// while Belltide runs stands past the periodic change that falls due (at
// most a quarter of the period late), until a change is asked from the
// tray; the pools keep their files.
TEST_F(TrayMenu, SchemeAppliedInWindowsStandsUntilAChangeIsAsked) {
  dir.Write("BTD.CFG",
            "Setup=1\r\nBootOnSoundChange=1\r\nBootWaitTime=0\r\nTimer=1\r\n\r\n\\.Default\r\nWindows\r\n\r\n"
            "Beep\r\nBeep\r\n-C:\\a.wav\r\n-C:\\b.wav\r\n\r\n");
  RunningProgram program(dir.path());
  ASSERT_TRUE(program.WaitUntilHidden());
  const DWORD started = GetTickCount();
  ASSERT_FALSE(Sound("Beep").empty());
  Sleep(2000);  // the quiet after its own writes
  SetDefault("AppEvents\\Schemes", "Theme");
  SetDefault("AppEvents\\Schemes\\Apps\\.Default\\Beep\\.Current", "C:\\theme.wav");
  Sleep(80000 - (GetTickCount() - started));
  EXPECT_EQ("C:\\theme.wav", Sound("Beep"));
  EXPECT_EQ("Theme", DefaultValue("AppEvents\\Schemes"));

  ASSERT_TRUE(program.OpenTrayMenu());
  program.PostMenuKey('R');
  EXPECT_TRUE(Sleeps([] { return Sound("Beep") != "C:\\theme.wav"; }));
  EXPECT_EQ(".Current", DefaultValue("AppEvents\\Schemes"));
  program.PostCommand(32776);  // Exit
  EXPECT_EQ(0, program.WaitForExit());
  EXPECT_EQ(std::string::npos, Settings().find("theme"));
}
