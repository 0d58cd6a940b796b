#include <gtest/gtest.h>

#include "cp932.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "running_program.h"
#include "store/content_fingerprint.h"
#include "store/save_journal.h"
#include "temp_dir.h"

namespace {

constexpr UINT kReassignCommand = 32774, kExitCommand = 32776;

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

// A settings file that holds no settings gives way to the backup; its bytes
// are kept beside it, and the user is told where.
TEST_F(Startup, DamagedSettingsGiveWayToTheBackupAndAreKeptAside) {
  const std::string damaged(4096, '\0');
  dir.Write("BTD.CFG", damaged);
  dir.Write("BTD_BAK.CFG", "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n\r\n");
  RunningProgram program(dir.path());
  EXPECT_EQ(Cp932("前回異常終了したため、バックアップファイルから設定を復元しました。"), program.AnswerMessageBox());
  EXPECT_NE(std::string::npos, program.AnswerMessageBox().find("\\BTD_KEPT.CFG"));
  EXPECT_TRUE(program.WaitForStatus(Waiting(29)));
  program.PostKey(VK_ESCAPE);
  EXPECT_EQ(0, program.WaitForExit());
  EXPECT_EQ(damaged, dir.Read("BTD_KEPT.CFG"));
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

// A user's case: the program is killed, BTD.CFG is edited by hand (a
// candidate removed), and the program is started again. A kill after a save
// leaves nothing to finish: the edit is loaded. A kill in the middle of one
// leaves its journal pending (written here as the save writes it): the save
// is finished, and the edited file is kept and named.
TEST_F(Startup, HandEditAfterAKillIsNeverLost) {
  const std::string settings =
      "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=60\r\n\r\n\\App\r\nApp\r\n\r\n"
      "Ev\r\nEvent\r\n-C:\\a.wav\r\n-C:\\b.wav\r\n-C:\\c.wav\r\n\r\n";
  dir.Write("BTD.CFG", settings);
  {
    RunningProgram program(dir.path());
    ASSERT_TRUE(program.WaitUntilShown());
    SendMessageTimeoutA(program.WaitForStatusWindow(), WM_COMMAND, kReassignCommand, 0, SMTO_NORMAL, 60000, nullptr);
    program.Kill();
  }
  EXPECT_EQ(kJournalApplied, dir.Read("BTD_SAVE.CFG")[kJournalStateOffset]);
  const std::string saved = dir.Read("BTD.CFG");
  std::string edited = saved;
  size_t line = edited.find("C:\\b.wav\r\n") - 1;
  edited.erase(line, 11);
  dir.Write("BTD.CFG", edited);
  {
    RunningProgram program(dir.path());
    EXPECT_TRUE(program.WaitUntilShown()) << program.AnswerMessageBox(0);
    EXPECT_EQ("", program.AnswerMessageBox(0));
    program.PostCommand(kExitCommand);
    EXPECT_EQ(0, program.WaitForExit());
  }
  EXPECT_EQ(edited, dir.Read("BTD.CFG"));

  std::string head, tail;
  FormatJournal(ContentFingerprint(saved), 0, ContentFingerprint(saved), head, tail);
  dir.Write("BTD_SAVE.CFG", head + saved + tail);
  {
    RunningProgram program(dir.path());
    std::string told = program.AnswerMessageBox();
    EXPECT_EQ(0u, told.find(Cp932("前回は保存の途中で終了し、その後 BTD.CFG が書き換えられていました。"))) << told;
    EXPECT_NE(std::string::npos, told.find("\\BTD_KEPT.CFG")) << told;
    EXPECT_TRUE(program.WaitUntilShown());
    program.PostCommand(kExitCommand);
    EXPECT_EQ(0, program.WaitForExit());
  }
  EXPECT_EQ(saved, dir.Read("BTD.CFG"));
  EXPECT_EQ(edited, dir.Read("BTD_KEPT.CFG"));
}

namespace {

// Makes a file read-only for as long as it lives. Under Wine, where root
// writes to read-only files anyway, the file is made immutable as well.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& path) : m_path(path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    std::wstring wide(path.begin(), path.end());
    if (char* name = unixName ? unixName(wide.c_str()) : nullptr) {
      m_unixPath = name;
      HeapFree(GetProcessHeap(), 0, name);
      RunToEnd("/usr/bin/chattr +i " + m_unixPath, 10000);
    }
    Await(true);
  }
  ~ReadOnlyFile() {
    if (!m_unixPath.empty()) RunToEnd("/usr/bin/chattr -i " + m_unixPath, 10000);
    SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    Await(false);  // the folder is removed next
  }
  const std::string& unixPath() const { return m_unixPath; }
  // A Unix program's handle does not tell when it has finished: watch its effect.
  void Await(bool readOnly) const {
    for (int i = 0; i < 100 && Holds() != readOnly; ++i) Sleep(50);
  }
  bool Holds() const {
    HANDLE file = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    CloseHandle(file);
    return false;
  }

 private:
  std::string m_path, m_unixPath;
};

}  // namespace

TEST_F(Startup, ReadOnlySettingsAreRefused) {
  dir.Write("BTD.CFG", "Setup=1\r\n\r\n");
  ReadOnlyFile readOnly(dir.File("BTD.CFG"));
  if (!readOnly.Holds()) GTEST_SKIP() << "this file system cannot make the file read-only: " << readOnly.unixPath();
  RunningProgram program(dir.path());
  EXPECT_NE(std::string::npos, program.AnswerMessageBox().find(Cp932("・ファイルが読み取り専用になっている")));
  EXPECT_EQ(0, program.WaitForExit());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.File("BTD_BAK.CFG").c_str()));  // no backup written
}

// Run by the English pass, under code page 1252: the program itself chooses
// English.
TEST_F(Startup, EnglishWhereTheCodePageIsNot932) {
  ASSERT_NE(932u, GetACP());
  dir.Write("BTD.CFG", "Setup=0\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n\r\n");
  RunningProgram program(dir.path());
  EXPECT_EQ("- Welcome to Belltide -\nFirst of all, click Import... to fill the sound pools.",
            program.AnswerMessageBox());
  HWND settings = program.WaitForWindow("Belltide Settings");
  ASSERT_TRUE(settings);
  RunningProgram::Click(settings, IDCANCEL);
  EXPECT_TRUE(program.WaitForStatus("Waiting... : 29 s left"));
  program.PostKey(VK_ESCAPE);
  EXPECT_EQ(0, program.WaitForExit());
}

// A code page 932 path whose second byte of ポ reads as '|' under 1252
// cannot be kept; the original file is, and the user is told in English.
TEST_F(Startup, EnglishKeepsWhatTheCodePageCannotRead) {
  ASSERT_NE(932u, GetACP());
  const std::string original =
      "Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n\r\n\\App\r\nApp\r\n\r\n"
      "Ev\r\nEvent\r\n-C:\\\x83\x73\x83\x93\x83\x7C\x83\x93.wav\r\n-C:\\plain.wav\r\n\r\n";
  dir.Write("BTD.CFG", original);
  RunningProgram program(dir.path());
  std::string told = program.AnswerMessageBox();
  EXPECT_EQ(0u, told.find("Part of BTD.CFG could not be read, so its original content was kept in:\n")) << told;
  EXPECT_TRUE(program.WaitForStatus("Waiting... : 29 s left"));
  program.PostKey(VK_ESCAPE);
  EXPECT_EQ(0, program.WaitForExit());
  EXPECT_EQ(original, dir.Read("BTD_KEPT.CFG"));
  EXPECT_NE(std::string::npos, dir.Read("BTD.CFG").find("\r\nEv\r\nEvent\r\n-C:\\plain.wav\r\n\r\n"));
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
