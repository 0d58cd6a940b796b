// The release as a user gets it: unzipped into a folder of their own by
// released_zip.sh, and started there. Run only by that script.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/file_path.h"
#include "running_program.h"

namespace {

constexpr UINT kExitCommand = 32776;

bool IsSettings(HWND window) { return GetDlgItem(window, 1030) != nullptr; }

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

TEST(Released, FirstRunInTheFolderItWasUnzippedTo) {
  // Its name may hold 'ソ', whose second byte is that of a backslash.
  std::string folder = SiblingPath(ProgramPath().c_str(), "").str();
  RunningProgram program(folder);
  EXPECT_FALSE(program.AnswerMessageBox().empty());  // the first-run message
  HWND settings = program.WaitForDialog(IsSettings);
  ASSERT_TRUE(settings);
  RunningProgram::Click(settings, IDCANCEL);
  ASSERT_TRUE(program.WaitUntilHidden());  // resident in the notification area
  program.PostCommand(kExitCommand);
  EXPECT_EQ(0, program.WaitForExit());
  std::string settingsFile = Read(folder + "BTD.CFG");
  EXPECT_NE(std::string::npos, settingsFile.find("\r\nSetup=0\r\n"));
  EXPECT_EQ(settingsFile, Read(folder + "BTD_BAK.CFG"));
}
