#include <gtest/gtest.h>

#ifndef _WIN32
#include "full_disk.h"
#endif

#include <filesystem>

#include "cp932.h"
#include "platform/os_file.h"
#include "registry_sandbox.h"
#include "store/settings_file.h"
#include "temp_dir.h"

namespace {

std::string Header() { return Cp932("----- 本ファイルの仕様は、説明ファイルに記載しています -----"); }

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Options(int setup, int noSound, int change, int wait, int timer) {
  return "Setup=" + std::to_string(setup) + "\nBootOnNoSound=" + std::to_string(noSound) +
         "\nBootOnSoundChange=" + std::to_string(change) + "\nBootWaitTime=" + std::to_string(wait) +
         "\nTimer=" + std::to_string(timer) + "\n";
}

const char kExampleBlocks[] =
    "\\.Default\nWindows\n\n"
    ".Default\nDefault Beep\n-C:\\Sounds\\ding.wav\n+C:\\Sounds\\chord.wav\n\n"
    "SystemAsterisk\nAsterisk\n\n";

// Registry tests: an empty file would build the catalogue from it.
class SettingsFileTest : public RegistryTest {
 protected:
  // Writes `bytes` as BTD.CFG, opens and loads it; returns the file after the load.
  std::string Load(const std::string& bytes) {
    file.Close();
    dir.Write("BTD.CFG", bytes);
    EXPECT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
    file.LoadSettings();
    return Contents(file);
  }

  TempDir dir;
  SettingsFile file;
};

}  // namespace

TEST_F(SettingsFileTest, HeaderIsSixtyBytesOfCodePage932) {
  std::string saved = Load("");
  EXPECT_EQ(60u, Header().size());
  EXPECT_EQ(Crlf(Header() + "\n"), saved.substr(0, 62));
}

TEST_F(SettingsFileTest, WorkedExampleLoadsAndSavesUnchanged) {
  std::string canonical = Crlf(Header() + "\n" + Options(1, 0, 1, 10, 90) + "\n" + kExampleBlocks);
  EXPECT_EQ(canonical, Load(canonical));
  EXPECT_EQ(1, file.settings.Setup);
  EXPECT_EQ(1, file.settings.BootOnSoundChange);
  EXPECT_EQ(10, file.settings.BootWaitTime);
  EXPECT_EQ(90, file.settings.Timer);
  ASSERT_EQ(3, file.eventCount());
  EXPECT_EQ(-1, file.table[0].count);
  EXPECT_EQ(CString("\\.Default"), file.table[0].key);
  EXPECT_EQ(CString("Windows"), file.table[0].label);
  EXPECT_EQ(2, file.table[1].count);
  EXPECT_EQ(CString("-C:\\Sounds\\ding.wav|+C:\\Sounds\\chord.wav|"), file.table[1].files);
  EXPECT_EQ(0, file.table[2].count);
  EXPECT_EQ(CString("Asterisk"), file.table[2].label);
}

TEST_F(SettingsFileTest, BareLineBreaksAreReadAndCanonicalFormIsWritten) {
  std::string lf = Header() + "\n" + Options(1, 0, 1, 10, 90) + "\n" + kExampleBlocks;
  EXPECT_EQ(Crlf(lf), Load(lf));
}

TEST_F(SettingsFileTest, OptionsOnlyFileHasAnEmptyTable) {
  std::string canonical = Crlf(Header() + "\n" + Options(1, 1, 0, 5, 3) + "\n");
  EXPECT_EQ(canonical, Load(canonical));
  EXPECT_EQ(0, file.eventCount());
}

TEST_F(SettingsFileTest, MissingOptionsTakeTheirDefaults) {
  std::string saved = Load("junk\n\n\\App\nApp\n\n");
  EXPECT_EQ(Crlf(Header() + "\n" + Options(0, 0, 1, 0, 0) + "\n\\App\nApp\n\n"), saved);
}

TEST_F(SettingsFileTest, OptionLinesMatchByPrefixAndSkipOneCharacter) {
  Load(
      "SetupX=7\nTimer=-5\nBootWaitTime 12\nBootOnNoSound=  +3x\nBootOnSoundChange=0\n"
      "BootOnSoundChange=1\n\n");
  EXPECT_EQ(0, file.settings.Setup);  // "=7" converts to 0
  EXPECT_EQ(-5, file.settings.Timer);
  EXPECT_EQ(12, file.settings.BootWaitTime);      // any character is skipped
  EXPECT_EQ(3, file.settings.BootOnNoSound);      // atoi: blanks, sign, digits
  EXPECT_EQ(0, file.settings.BootOnSoundChange);  // the first match wins
}

TEST_F(SettingsFileTest, MalformedNumbersConvertLikeAtoi) {
  Load("Timer=abc\nBootWaitTime = 5\nSetup\nBootOnNoSound=99999999999\n\n");
  EXPECT_EQ(0, file.settings.Timer);
  EXPECT_EQ(0, file.settings.BootWaitTime);  // the blank is skipped, "= 5" gives 0
  EXPECT_EQ(0, file.settings.Setup);
  EXPECT_EQ(2147483647, file.settings.BootOnNoSound);  // saturated, never wrapped
}

TEST_F(SettingsFileTest, OptionsAfterTheFirstEmptyLineAreNotSeen) {
  Load("Setup=1\n\nTimer=30\nTimer\n\n");
  EXPECT_EQ(1, file.settings.Setup);
  EXPECT_EQ(0, file.settings.Timer);
  ASSERT_EQ(1, file.eventCount());  // the lines after it form a block
  EXPECT_EQ(CString("Timer=30"), file.table[0].key);
}

TEST_F(SettingsFileTest, CandidatesGainMarksAndDuplicatesAreKept) {
  std::string saved = Load("\n\\App\nApp\n\nEv\nEvent\nC:\\a.wav\nC:\\a.wav\n+C:\\b.wav\n\n");
  ASSERT_EQ(2, file.eventCount());
  EXPECT_EQ(3, file.table[1].count);
  EXPECT_NE(std::string::npos, saved.find("Ev\r\nEvent\r\n-C:\\a.wav\r\n-C:\\a.wav\r\n+C:\\b.wav\r\n\r\n"));
}

TEST_F(SettingsFileTest, MultiByteTextSurvivesARoundTrip) {
  std::string blocks = Cp932("\\アプリ\nアプリ表示\n\nソ\n音ソ\n-C:\\ポ\\表.wav\n\n");
  std::string canonical = Crlf(Header() + "\n" + Options(1, 0, 1, 0, 0) + "\n" + blocks);
  EXPECT_EQ(canonical, Load(canonical));
  EXPECT_EQ(CString(Cp932("-C:\\ポ\\表.wav").c_str()), file.table[1].GetCandidate(0));
}

// Hand-edited files that break the block structure: none may crash, and a
// second load must give back exactly what the first one wrote.
TEST_F(SettingsFileTest, BrokenFilesSettleAfterOneLoad) {
  static const char kWithNul[] = "\nE\0v\nL\0\n-a\0.wav\n\n";
  const std::string broken[] = {
      "no empty line at all",
      "Setup=1\nTimer=3",
      "\n\n\n\n",
      "\n\\App\nApp\n\n\n\nEv\nLabel\n-a.wav\n\n\n",
      "\n\\App\nApp\n",
      "\n\\App\n",
      "\nEv\n\n-a.wav\n\n",
      "\n\\App\nApp\nstray\n-b.wav\n\nEv\nLabel\n-x|y.wav\n-ok.wav",
      "\r\n\r\r\n\\A\r\nB\r",
      std::string(kWithNul, sizeof kWithNul - 1),
  };
  for (const std::string& bytes : broken) {
    std::string first = Load(bytes);
    EXPECT_EQ(first, Load(first)) << "input: " << bytes;
  }
}

TEST_F(SettingsFileTest, MissingLabelFallsBackToTheKey) {
  Load("\nEv\n\n");
  ASSERT_EQ(1, file.eventCount());
  EXPECT_EQ(CString("Ev"), file.table[0].label);
}

TEST_F(SettingsFileTest, LinesOfAnyLengthAreKept) {
  std::string path = "C:\\" + std::string(200000, 'x') + ".wav";
  std::string canonical = Crlf(Header() + "\n" + Options(1, 0, 1, 0, 0) + "\n\\A\nA\n\nE\nE\n-" + path + "\n\n");
  EXPECT_EQ(canonical, Load(canonical));
  EXPECT_EQ(CString(path.c_str()), file.table[1].PickCandidate());
}

TEST_F(SettingsFileTest, SaveWritesTheModelAndLeavesItUntouched) {
  Load("");
  file.settings = {1, 1, 0, 7, 135};
  EventEntry group;
  group.key = "\\App";
  group.label = "Application";
  group.count = -1;
  EventEntry event;
  event.key = "Ev";
  event.label = "Event";
  event.AppendCandidate("C:\\a.wav", false);
  file.table = {group, event};
  ASSERT_TRUE(file.SaveSettings());
  EXPECT_EQ(Crlf(Header() + "\n" + Options(1, 1, 0, 7, 135) + "\n\\App\nApplication\n\nEv\nEvent\n-C:\\a.wav\n\n"),
            Contents(file));
  EXPECT_EQ(CString("-C:\\a.wav|"), file.table[1].files);
  EXPECT_FALSE(file.LastSaveFailed());
}

// 'ソ' ends in the byte of '\\' and 'ポ' in the byte of '|': at the end of a
// line, and at the end of a file without a final line break.
TEST_F(SettingsFileTest, TrailBytesAtLineAndFileEndsStayWhole) {
  std::string first = Cp932("-C:\\音\\ソポ"), last = Cp932("+D:\\ポソ");
  Load("Setup=1\n\n\\App\nApp\n\nEv\nEvent\n" + first + "\r\n" + last);
  ASSERT_EQ(2, file.eventCount());
  EXPECT_EQ(2, file.table[1].count);
  EXPECT_EQ(CString(first.c_str()), file.table[1].GetCandidate(0));
  EXPECT_EQ(CString(last.c_str()), file.table[1].GetCandidate(1));
  EXPECT_TRUE(file.KeptCopy().IsEmpty());
}

// What the loader cannot keep goes to a file of its own before the save
// changes anything, and the user hears of it once.
TEST_F(SettingsFileTest, LinesThatCannotBeKeptAreCopiedAsideFirst) {
  std::string bytes =
      "Setup=1\n\n\\App\nApp\nstray\n\nEv\nEvent\n-C:\\a|b.wav\n" + Cp932("-C:\\ポ").substr(0, 5) + "\n-C:\\ok.wav\n\n";
  std::string saved = Load(bytes);
  ASSERT_FALSE(file.KeptCopy().IsEmpty());
  std::string kept;
  EXPECT_TRUE(os_file::ReadFile(file.KeptCopy(), kept));
  EXPECT_EQ(bytes, kept);
  EXPECT_EQ(1, file.table[1].count);
  EXPECT_EQ(saved, Load(saved));
  EXPECT_TRUE(file.KeptCopy().IsEmpty());
}

TEST_F(SettingsFileTest, FileIsLeftAloneWhenItsBytesCannotBeKept) {
  std::filesystem::create_directory(dir.File("BTD_KEPT.TMP"));  // no copy can be written
  std::string bytes = "\n\\App\nApp\nstray\n\n";
  EXPECT_EQ(bytes, Load(bytes));
  EXPECT_FALSE(file.SaveSettings());
  EXPECT_EQ(bytes, Contents(file));
}

// A save cut short once its new content was whole on the disk is finished
// when the file is next opened; a half-written new content is dropped. A
// normal close leaves no side file.
TEST_F(SettingsFileTest, InterruptedSaveIsFinishedAtTheNextOpen) {
  std::string canonical = Crlf(Header() + "\n" + Options(1, 0, 1, 10, 90) + "\n" + kExampleBlocks);
  file.Close();
  dir.Write("BTD.CFG", canonical.substr(0, 100));
  dir.Write("BTD_SAVE.CFG", canonical);
  dir.Write("BTD_SAVE.TMP", canonical.substr(0, 50));
  ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
  EXPECT_EQ(canonical, Contents(file));
  ASSERT_TRUE(file.LoadSettings());
  file.settings.Timer = 5;
  ASSERT_TRUE(file.SaveSettings());
  file.Close();
  for (const char* side : {"BTD_SAVE.CFG", "BTD_SAVE.TMP"})
    EXPECT_FALSE(os_file::Exists(dir.File(side).c_str())) << side;
}

#ifndef _WIN32
// A device that refuses every write stands in for a full disk.
TEST(SettingsFileSave, FailedWriteKeepsTheModelAndIsReported) {
  FullDiskSettings full;
  SettingsFile& file = full.file;
  file.table.resize(1);
  file.table[0].key = "Ev";
  file.table[0].label = "Event";
  EXPECT_FALSE(file.SaveSettings());
  EXPECT_TRUE(file.LastSaveFailed());
  EXPECT_EQ(1, file.eventCount());
}
#endif
