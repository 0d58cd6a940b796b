#include <gtest/gtest.h>

#include "platform/os_file.h"
#include "store/settings_file.h"
#include "store/startup_files.h"
#include "temp_dir.h"

namespace {

class StartupFilesTest : public ::testing::Test {
 protected:
  TempDir dir;
  StartupFiles files{dir.File("BTD.CFG").c_str(), dir.File("BTD_BAK.CFG").c_str()};
};

}  // namespace

TEST_F(StartupFilesTest, MissingOrEmptySettingsAreRestoredFromAUsableBackup) {
  dir.Write("BTD_BAK.CFG", "backup");
  EXPECT_TRUE(files.RestoreFromBackup());
  EXPECT_EQ("backup", dir.Read("BTD.CFG"));

  dir.Write("BTD.CFG", "");
  EXPECT_TRUE(files.RestoreFromBackup());
  EXPECT_EQ("backup", dir.Read("BTD.CFG"));
}

TEST_F(StartupFilesTest, BackupIsIgnoredWhenEmptyMissingOrNotNeeded) {
  EXPECT_FALSE(files.RestoreFromBackup());
  EXPECT_EQ(-1, os_file::FileSize(files.settingsPath));

  dir.Write("BTD_BAK.CFG", "");
  EXPECT_FALSE(files.RestoreFromBackup());
  EXPECT_EQ(-1, os_file::FileSize(files.settingsPath));

  dir.Write("BTD.CFG", "damaged but not empty");
  dir.Write("BTD_BAK.CFG", "newer backup");
  EXPECT_FALSE(files.RestoreFromBackup());
  EXPECT_EQ("damaged but not empty", dir.Read("BTD.CFG"));
}

TEST_F(StartupFilesTest, NormalEndCopiesTheSettingsOverTheBackup) {
  SettingsFile file;
  ASSERT_TRUE(file.Open(files.settingsPath, 0x7002));
  ASSERT_TRUE(file.SaveSettings());
  file.Close();
  dir.Write("BTD_BAK.CFG", "old");
  EXPECT_TRUE(files.BackUp(file));
  EXPECT_EQ(dir.Read("BTD.CFG"), dir.Read("BTD_BAK.CFG"));
}

TEST_F(StartupFilesTest, EmptySettingsNeverReplaceAGoodBackup) {
  SettingsFile file;
  ASSERT_TRUE(file.Open(files.settingsPath, 0x7002));
  file.Close();
  dir.Write("BTD_BAK.CFG", "good");
  EXPECT_FALSE(files.BackUp(file));
  EXPECT_EQ("good", dir.Read("BTD_BAK.CFG"));
}

#ifndef _WIN32
TEST_F(StartupFilesTest, SettingsWhoseLastSaveFailedNeverReplaceAGoodBackup) {
  SettingsFile failed;
  ASSERT_TRUE(failed.Open("/dev/full", 0x7002));
  ASSERT_FALSE(failed.SaveSettings());
  failed.Close();
  dir.Write("BTD.CFG", "half written");
  dir.Write("BTD_BAK.CFG", "good");
  EXPECT_FALSE(files.BackUp(failed));
  EXPECT_EQ("good", dir.Read("BTD_BAK.CFG"));
}
#endif
