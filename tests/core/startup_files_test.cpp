#include <gtest/gtest.h>

#ifndef _WIN32
#include "full_disk.h"
#endif

#include <filesystem>

#include "platform/os_file.h"
#include "store/save_journal.h"
#include "store/settings_file.h"
#include "store/startup_files.h"
#include "temp_dir.h"

namespace {

constexpr char kGood[] = "Setup=1\r\n\r\n\\App\r\nApp\r\n\r\n";

class StartupFilesTest : public ::testing::Test {
 protected:
  // Starts as the program does: BTD.CFG open, then the recovery.
  StartupRecovery Start() {
    file.Close();
    EXPECT_TRUE(file.Open(files.settingsPath));
    return files.Recover(file);
  }

  // BTD.CFG as it is on disk (it is open exclusively).
  std::string Settings() {
    file.Close();
    return dir.Read("BTD.CFG");
  }

  TempDir dir;
  StartupFiles files{dir.File("BTD.CFG").c_str(), dir.File("BTD_BAK.CFG").c_str(), dir.path().c_str()};
  SettingsFile file;
};

}  // namespace

TEST_F(StartupFilesTest, MissingOrEmptySettingsAreRestoredFromAUsableBackup) {
  dir.Write("BTD_BAK.CFG", "backup");
  EXPECT_TRUE(Start().restored);
  EXPECT_EQ("backup", Settings());

  dir.Write("BTD.CFG", "");
  EXPECT_TRUE(Start().restored);
  EXPECT_EQ("backup", Settings());
}

TEST_F(StartupFilesTest, BackupIsIgnoredWhenEmptyMissingOrNotNeeded) {
  EXPECT_FALSE(Start().restored);
  EXPECT_EQ("", Settings());

  dir.Write("BTD_BAK.CFG", "");
  EXPECT_FALSE(Start().restored);
  EXPECT_EQ("", Settings());

  dir.Write("BTD.CFG", "damaged but not empty");
  dir.Write("BTD_BAK.CFG", "newer backup");
  EXPECT_FALSE(Start().restored);  // a cut backup is no better than a cut file
  EXPECT_EQ("damaged but not empty", Settings());

  dir.Write("BTD.CFG", kGood);
  dir.Write("BTD_BAK.CFG", "Setup=0\r\n\r\n");
  StartupRecovery recovery = Start();
  EXPECT_FALSE(recovery.restored);
  EXPECT_TRUE(recovery.keptCopy.IsEmpty());
  EXPECT_EQ(kGood, Settings());
}

// A file that holds no settings, or one cut short beside a complete backup,
// gives way to the backup; its bytes are kept in a file of their own.
TEST_F(StartupFilesTest, DamagedSettingsAreKeptAsideBeforeTheBackupReplacesThem) {
  const std::string utf16("\xFF\xFES\0e\0t\0u\0p\0\r\0\n\0", 16);
  const struct {
    std::string settings, backup;
    bool restored, kept;
    std::string after;
  } cases[] = {
      {std::string(4096, '\0'), kGood, true, true, kGood},
      {utf16, kGood, true, true, kGood},
      {std::string(1000, '\n'), kGood, true, true, kGood},
      {utf16, "", false, true, ""},  // no backup: a first run
      {"Setup=1\r\n\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n-C:\\a.w", kGood, true, true, kGood},
      {"Setup=1\r\n\r\nEv\r\nEvent\r\n-C:\\a.wav\r\n", kGood, true, true, kGood},
      {"Setup=1\r\n\r\nEv\r\nEvent\r\n-C:\\a.wav", "Setup=1\r\n", false, false,
       "Setup=1\r\n\r\nEv\r\nEvent\r\n-C:\\a.wav"},
  };
  for (const auto& c : cases) {
    dir.Write("BTD.CFG", c.settings);
    dir.Write("BTD_BAK.CFG", c.backup);
    StartupRecovery recovery = Start();
    EXPECT_EQ(c.restored, recovery.restored) << c.settings;
    EXPECT_FALSE(recovery.failed);
    EXPECT_EQ(c.after, Settings()) << c.settings;
    EXPECT_EQ(c.kept, !recovery.keptCopy.IsEmpty()) << c.settings;
    if (!recovery.keptCopy.IsEmpty()) {
      std::string kept;
      EXPECT_TRUE(os_file::ReadFile(recovery.keptCopy, kept));
      EXPECT_EQ(c.settings, kept);
      os_file::Remove(recovery.keptCopy);
    }
  }
}

// A save cut short is finished first: a file the kill left cut is then
// whole, and no older backup takes its place. Bytes written into it since
// are kept, and named.
TEST_F(StartupFilesTest, CutSaveIsFinishedBeforeTheBackupIsLookedAt) {
  std::string saved = "Setup=1\r\n\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n";
  for (int n = 0; n < 100; ++n) saved += "-C:\\Sounds\\chime_" + std::to_string(n) + ".wav\r\n";
  saved += "\r\n";
  std::string head, tail;
  FormatJournal(ContentFingerprint(kGood), 0, ContentFingerprint(saved), head, tail);
  const struct {
    std::string current;
    bool changed;
  } cases[] = {{saved.substr(0, 1024), false}, {kGood + std::string("Ev\r\nEvent\r\n\r\n"), true}};
  for (const auto& [current, changed] : cases) {
    dir.Write("BTD.CFG", current);
    dir.Write("BTD_SAVE.CFG", head + saved + tail);
    dir.Write("BTD_BAK.CFG", kGood);
    StartupRecovery recovery = Start();
    EXPECT_FALSE(recovery.restored);
    EXPECT_TRUE(recovery.keptCopy.IsEmpty());
    EXPECT_EQ(changed, !recovery.changedCopy.IsEmpty());
    EXPECT_EQ(saved, Settings());
    if (changed) {
      EXPECT_EQ(current, dir.Read("BTD_KEPT.CFG"));
    }
  }
}

// A journal that exists but cannot be read may hold the only whole copy of
// the last save: the start is refused, and nothing is touched.
TEST_F(StartupFilesTest, UnreadableJournalRefusesTheStart) {
  const std::string torn = "Setup=1\r\n\r\n\\App\r\nApp\r\n\r\nEv\r\nEv";
  dir.Write("BTD.CFG", torn);
  dir.Write("BTD_BAK.CFG", kGood);
  std::filesystem::create_directory(dir.File("BTD_SAVE.CFG"));  // exists, cannot be read as a file
  StartupRecovery recovery = Start();
  EXPECT_TRUE(recovery.failed);
  EXPECT_TRUE(recovery.journalUnreadable);
  EXPECT_FALSE(recovery.restored);
  EXPECT_EQ(torn, Settings());
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("BTD_SAVE.CFG")));
}

TEST_F(StartupFilesTest, NormalEndCopiesTheSettingsOverTheBackup) {
  ASSERT_TRUE(file.Open(files.settingsPath));
  ASSERT_TRUE(file.SaveSettings());
  file.Close();
  dir.Write("BTD_BAK.CFG", "old");
  EXPECT_TRUE(files.BackUp(file));
  EXPECT_EQ(dir.Read("BTD.CFG"), dir.Read("BTD_BAK.CFG"));
  EXPECT_FALSE(os_file::Exists(dir.File("BTD_BAK.TMP").c_str()));
}

TEST_F(StartupFilesTest, EmptySettingsNeverReplaceAGoodBackup) {
  ASSERT_TRUE(file.Open(files.settingsPath));
  file.Close();
  dir.Write("BTD_BAK.CFG", "good");
  EXPECT_FALSE(files.BackUp(file));
  EXPECT_EQ("good", dir.Read("BTD_BAK.CFG"));
}

#ifndef _WIN32
TEST_F(StartupFilesTest, SettingsWhoseLastSaveFailedNeverReplaceAGoodBackup) {
  FullDiskSettings full;
  ASSERT_FALSE(full.file.SaveSettings());
  full.file.Close();
  dir.Write("BTD.CFG", "half written");
  dir.Write("BTD_BAK.CFG", "good");
  EXPECT_FALSE(files.BackUp(full.file));
  EXPECT_EQ("good", dir.Read("BTD_BAK.CFG"));
}
#endif
