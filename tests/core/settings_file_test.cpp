#include <gtest/gtest.h>

#ifndef _WIN32
#include "full_disk.h"
#endif

#include <filesystem>

#include "cp932.h"
#include "platform/os_file.h"
#include "registry_sandbox.h"
#include "schemes/sound_schemes.h"
#include "settings_text.h"
#include "store/save_journal.h"
#include "store/settings_file.h"
#include "store/startup_files.h"
#include "temp_dir.h"

namespace {

const char kExampleBlocks[] =
    "\\.Default\nWindows\n\n"
    ".Default\nDefault Beep\n-C:\\Sounds\\ding.wav\n+C:\\Sounds\\chord.wav\n\n"
    "SystemAsterisk\nAsterisk\n\n";

// What a full save of the model writes.
std::string Formatted(const SettingsFile& file) {
  std::string full;
  MarkLayout layout;
  return std::string(FormatSettings(file.settings, file.table, full, layout));
}

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

// The sixth option is written after Timer only when set: the file of a user
// who never sets it keeps its bytes.
TEST_F(SettingsFileTest, SessionSoundsLineOnlyWhenSet) {
  std::string without = Crlf(Header() + "\n" + Options(1, 0, 1, 0, 0) + "\n");
  EXPECT_EQ(without, Load(without));
  EXPECT_EQ(0, file.settings.SessionSounds);
  std::string with = Crlf(Header() + "\n" + Options(1, 0, 1, 0, 0) + "SessionSounds=1\n\n");
  EXPECT_EQ(with, Load(Crlf("SessionSounds=1\nSetup=1\n\n")));
  EXPECT_EQ(1, file.settings.SessionSounds);
  file.settings.SessionSounds = 0;
  ASSERT_TRUE(file.SaveSettings());
  EXPECT_EQ(without, Contents(file));
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
  EXPECT_EQ(path, file.PickCandidate(1));
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
  *file.EditTable() = {group, event};
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

// What a rewrite of `old` with `saved` cut after `written` bytes leaves.
std::string Torn(const std::string& old, const std::string& saved, size_t written) {
  return saved.substr(0, written) + (written < old.size() ? old.substr(written) : "");
}

// A journal found pending at a start is finished. What a rewrite cut short
// may leave (the old content, chunks of the new one over it, the new one not
// yet cut to its length) is replaced without a word; anything else is what
// someone wrote since, and is kept in a copy first. A journal applied, or
// cut short itself, finishes nothing. Either way the journal is gone.
TEST_F(SettingsFileTest, CutSaveIsFinishedAndOnlyBytesWrittenSinceAreKept) {
  const std::string old = Pools(90, [](int n) { return n % 3 == 0; });
  const std::string shorter = Pools(88, [](int n) { return n % 3 != 1; });  // marks changed, two lines fewer
  const std::string longer = Pools(130, [](int) { return false; });
  ASSERT_LT(shorter.size(), old.size());
  ASSERT_NE(0u, shorter.size() % ContentFingerprint::kChunkSize);
  ASSERT_GT(longer.size(), old.size() + 2 * ContentFingerprint::kChunkSize);
  std::string edited = old;  // a user's edit: one candidate line removed by hand
  edited.erase(edited.find("-C:\\Sounds\\chime_4.wav\r\n"), 24);
  std::string markEdited = shorter;
  markEdited[markEdited.find("+C:\\Sounds\\chime_8.wav")] = '-';
  std::string applied = Journal(old, shorter);
  applied[kJournalStateOffset] = kJournalApplied;
  const std::string journal = Journal(old, shorter), earlier = Journal(edited, old);
  // Journals of the full size whose sectors did not all reach the disk:
  // one of the content from a save of the same length, one of the old sums
  // from a save over another content. Only the digest tells them.
  std::string sameLength = shorter;
  const size_t mark = sameLength.find("-C:\\Sounds\\chime_61.wav");
  sameLength[mark] = '+';
  const std::string other = Journal(old, sameLength);
  const size_t sector = (48 + mark) / 512 * 512;
  ASSERT_GT(sector, 0u);
  const std::string tornContent = journal.substr(0, sector) + other.substr(sector, 512) + journal.substr(sector + 512);
  std::string otherOld = old;
  otherOld[otherOld.find("+C:\\Sounds\\chime_3.wav")] = '-';
  const std::string staleSums =
      journal.substr(0, 48 + shorter.size()) + Journal(otherOld, shorter).substr(48 + shorter.size());
  const struct {
    const char* what;
    std::string journal, current, after;
    bool kept;
  } cases[] = {
      {"saved whole", journal, shorter, shorter, false},
      {"not yet begun", journal, old, shorter, false},
      {"cut after a chunk", journal, Torn(old, shorter, 512), shorter, false},
      {"cut after two", journal, Torn(old, shorter, 1024), shorter, false},
      {"written, not cut to length", journal, Torn(old, shorter, shorter.size()), shorter, false},
      {"longer, cut inside the old length", Journal(old, longer), Torn(old, longer, 1536), longer, false},
      {"longer, cut past the old length", Journal(old, longer), longer.substr(0, old.size() / 512 * 512 + 1024), longer,
       false},
      {"a line removed by hand", journal, edited, shorter, true},
      {"a mark changed by hand", journal, markEdited, shorter, true},
      {"cut inside a chunk", journal, Torn(old, shorter, 700), shorter, true},
      {"the old content cut at a chunk by hand", journal, old.substr(0, 1024), shorter, true},
      {"the file removed", journal, "", shorter, false},
      {"applied, then a line removed by hand", applied, markEdited, markEdited, false},
      {"the journal cut short", journal.substr(0, journal.size() / 2), old, old, false},
      {"the journal torn in its content", tornContent, old, old, false},
      {"the journal torn in its old sums", staleSums, old, old, false},
      {"the journal cut short over an earlier one", journal.substr(0, 600) + earlier.substr(600), old, old, false},
      {"an earlier version's journal, saved whole", shorter, shorter, shorter, false},
      {"an earlier version's journal, not yet begun", shorter, old, shorter, true},
  };
  for (const auto& c : cases) {
    file.Close();
    dir.Write("BTD.CFG", c.current);
    dir.Write("BTD_SAVE.CFG", c.journal);
    dir.Write("BTD_SAVE.TMP", c.journal.substr(0, 50));  // an earlier version's journal cut short
    ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
    CString changedCopy;
    EXPECT_EQ(SettingsFile::CutSave::Finished, file.FinishInterruptedSave(changedCopy)) << c.what;
    EXPECT_EQ(c.after, Contents(file)) << c.what;
    EXPECT_EQ(c.after, *file.Content()) << c.what;
    file.Close();
    for (const char* side : {"BTD_SAVE.CFG", "BTD_SAVE.TMP"})
      EXPECT_FALSE(os_file::Exists(dir.File(side).c_str())) << c.what << ": " << side;
    EXPECT_EQ(c.kept, !changedCopy.IsEmpty()) << c.what;
    if (!changedCopy.IsEmpty()) {
      EXPECT_EQ(c.current, dir.Read("BTD_KEPT.CFG")) << c.what;
      os_file::Remove(changedCopy);
    }
  }
}

// A save leaves its journal applied, so that a kill later leaves nothing to
// finish; a normal end removes it.
TEST_F(SettingsFileTest, SavesLeaveTheirJournalApplied) {
  Load("Setup=1\n\n\\App\nApp\n\nEv\nEvent\n-C:\\a.wav\n\n");
  file.settings.Timer = 5;
  ASSERT_TRUE(file.SaveSettings());
  std::string_view saved;
  EXPECT_EQ(JournalMatch::Nothing, MatchJournal(dir.Read("BTD_SAVE.CFG"), Contents(file), saved));
  EXPECT_EQ(Contents(file), *file.Content());
  file.Close();
  EXPECT_FALSE(os_file::Exists(dir.File("BTD_SAVE.CFG").c_str()));
}

// A reassignment's save writes only the marks its picks changed. The file
// must still be what a full format of the model gives, across new cycles
// (every mark reset) and after the table and the options were changed as
// the settings dialog changes them; and the journal of such a save, with
// sums kept up to date byte by byte, must tell its cut rewrite as a full
// save's journal does.
TEST_F(SettingsFileTest, MarksOnlySaveEqualsAFullFormat) {
  std::srand(11);
  Load(Pools(40, [](int n) { return n % 4 == 0; }));  // pools of 14, 14 and 12
  std::string before;
  for (int round = 0; round < 30; ++round) {
    if (round == 10) file.EditTable()[2].AppendCandidate("C:\\Sounds\\added.wav", false);
    if (round == 20) file.settings.Timer = 7;
    before = Contents(file);
    AssignRandomSounds(file);
    ASSERT_TRUE(file.SaveSettings());
    ASSERT_EQ(Formatted(file), Contents(file)) << "round " << round;
  }
  const std::string after = Contents(file), torn = Torn(before, after, 512);
  ASSERT_NE(after, torn);
  std::string journal = dir.Read("BTD_SAVE.CFG");
  journal[kJournalStateOffset] = 0;  // as a kill before the state turned leaves it
  file.Close();
  dir.Write("BTD.CFG", torn);
  dir.Write("BTD_SAVE.CFG", journal);
  ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
  CString changedCopy;
  EXPECT_EQ(SettingsFile::CutSave::Finished, file.FinishInterruptedSave(changedCopy));
  EXPECT_TRUE(changedCopy.IsEmpty());
  EXPECT_EQ(after, Contents(file));
}

#ifndef _WIN32
// A device that refuses every write stands in for a full disk.
TEST(SettingsFileSave, FailedWriteKeepsTheModelAndIsReported) {
  FullDiskSettings full;
  SettingsFile& file = full.file;
  file.EditTable()->resize(1);
  file.EditTable()[0].key = "Ev";
  file.EditTable()[0].label = "Event";
  EXPECT_FALSE(file.SaveSettings());
  EXPECT_TRUE(file.LastSaveFailed());
  EXPECT_EQ(1, file.eventCount());
}

// A save that fails part-way leaves BTD.CFG torn; the journal then holds
// the only whole copy of the new content. It stays the model's content: a
// reload (the settings dialog's Cancel) reads it, not the torn file, and no
// later save overwrites that journal before BTD.CFG holds it.
TEST(SettingsFileSave, FailedRewriteKeepsTheJournalAsTheLastGoodContent) {
  FullDiskSettings full;  // the journal can be written, BTD.CFG cannot
  SettingsFile& file = full.file;
  file.settings.Setup = 1;
  file.EditTable()->resize(1);
  file.EditTable()[0].key = "Ev";
  file.EditTable()[0].label = "Event";
  file.EditTable()[0].AppendCandidate("C:\\a.wav", false);
  EXPECT_FALSE(file.SaveSettings());
  const std::string expected = Formatted(file);
  EXPECT_EQ(expected, *file.Content());
  const std::string journal = full.dir.Read("BTD_SAVE.CFG");
  std::string_view saved;
  ASSERT_NE(JournalMatch::Nothing, MatchJournal(journal, "", saved));
  EXPECT_EQ(expected, saved);

  EXPECT_TRUE(file.LoadSettings());  // as Cancel does
  ASSERT_EQ(1, file.eventCount());
  EXPECT_EQ(CString("-C:\\a.wav|"), file.table[0].files);
  file.settings.Timer = 5;
  EXPECT_FALSE(file.SaveSettings());
  EXPECT_EQ(journal, full.dir.Read("BTD_SAVE.CFG"));
  file.Close();
  EXPECT_EQ(journal, full.dir.Read("BTD_SAVE.CFG"));  // for the next start to finish
}
#endif

// A journal that cannot be written fails the save before BTD.CFG is
// touched; Exit tries once more, and the backup holds what it saved.
TEST(SettingsFileSave, ExitSavesAgainWhatFailedBeforeTheBackup) {
  TempDir dir;
  dir.Write("BTD.CFG", "Setup=1\r\n\r\n\\App\r\nApp\r\n\r\n");
  std::filesystem::create_directory(dir.File("BTD_SAVE.CFG"));  // the journal cannot be opened
  StartupFiles files{dir.File("BTD.CFG").c_str(), dir.File("BTD_BAK.CFG").c_str(), dir.path().c_str()};
  SettingsFile file;
  ASSERT_TRUE(file.Open(files.settingsPath));
  ASSERT_TRUE(file.LoadSettings());
  const std::string before = *file.Content();
  file.settings.Timer = 30;
  EXPECT_FALSE(file.SaveSettings());
  EXPECT_EQ(before, *file.Content());
  EXPECT_EQ(before, Contents(file));
  std::filesystem::remove(dir.File("BTD_SAVE.CFG"));
  files.Finish(file);
  EXPECT_NE(std::string::npos, dir.Read("BTD.CFG").find("Timer=30"));
  EXPECT_EQ(dir.Read("BTD.CFG"), dir.Read("BTD_BAK.CFG"));
}

// After a save that failed before its journal was whole, what it was to
// save is what a reload (Cancel) reads, and what the end of the run saves,
// never edits made since; where the file still refuses it, a copy holds it.
TEST(SettingsFileSave, ASaveThatFailedIsWhatCancelAndTheEndOfTheRunKeep) {
  for (const bool freedBeforeTheEnd : {true, false}) {
    SCOPED_TRACE(freedBeforeTheEnd ? "space freed" : "still full");
    TempDir dir;
    dir.Write("BTD.CFG", "Setup=1\r\n\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n-C:\\a.wav\r\n\r\n");
    StartupFiles files{dir.File("BTD.CFG").c_str(), dir.File("BTD_BAK.CFG").c_str(), dir.path().c_str()};
    SettingsFile file;
    ASSERT_TRUE(file.Open(files.settingsPath));
    ASSERT_TRUE(file.LoadSettings());  // the canonical form, from which a load saves nothing
    file.Close();
    const std::string before = dir.Read("BTD.CFG");
    std::filesystem::create_directory(dir.File("BTD_SAVE.CFG"));  // the journal cannot be opened
    ASSERT_TRUE(file.Open(files.settingsPath));
    ASSERT_TRUE(file.LoadSettings());
    file.EditTable()[1].AppendCandidate("C:\\b.wav", false);
    EXPECT_FALSE(file.SaveSettings());  // Apply
    file.EditTable()[1].AppendCandidate("C:\\c.wav", false);
    ASSERT_TRUE(file.LoadSettings());  // Cancel
    EXPECT_EQ(CString("-C:\\a.wav|-C:\\b.wav|"), file.table[1].files);
    EXPECT_TRUE(file.LastSaveFailed());
    file.EditTable()[1].AppendCandidate("C:\\d.wav", false);  // not applied when the run ends
    if (freedBeforeTheEnd) std::filesystem::remove(dir.File("BTD_SAVE.CFG"));
    const StartupFiles::Finished finished = files.Finish(file);
    const std::string saved = freedBeforeTheEnd ? dir.Read("BTD.CFG") : dir.Read("BTD_KEPT.CFG");
    EXPECT_NE(std::string::npos, saved.find("-C:\\b.wav\r\n"));
    EXPECT_EQ(std::string::npos, saved.find("d.wav"));
    if (freedBeforeTheEnd) {
      EXPECT_EQ(SettingsFile::LastSave::Saved, finished.lastSave);
      EXPECT_EQ(saved, dir.Read("BTD_BAK.CFG"));
    } else {
      EXPECT_EQ(SettingsFile::LastSave::Kept, finished.lastSave);
      EXPECT_EQ(CString(dir.File("BTD_KEPT.CFG").c_str()), finished.keptCopy);
      EXPECT_EQ(before, dir.Read("BTD.CFG"));
    }
  }
}

// The marks a reassignment saves alone are found by offsets from the last
// full save. An edit still open, or a pool changed through a reference kept
// from an edit, must not let a save miss a change.
TEST(SettingsFileSave, TableChangesAreNeverMissedByAMarksOnlySave) {
  TempDir dir;
  dir.Write("BTD.CFG", "Setup=1\r\n\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n-C:\\a.wav\r\n-C:\\b.wav\r\n\r\n");
  SettingsFile file;
  ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
  ASSERT_TRUE(file.LoadSettings());
  {
    SettingsFile::TableEdit kept = file.EditTable();
    file.PickCandidate(1);
    ASSERT_TRUE(file.SaveSettings());
    kept[1].files.SetAt(4, 'z');  // C:\\z.wav or the like: a path of the same length
    file.PickCandidate(1);
    ASSERT_TRUE(file.SaveSettings());
    EXPECT_EQ(Formatted(file), Contents(file));
  }
  EventEntry& escaped = file.EditTable()[1];
  ASSERT_TRUE(file.SaveSettings());
  escaped.AppendCandidate("C:\\c.wav", false);  // after the save: the offsets no longer fit
  for (int round = 0; round < 4; ++round) {
    file.PickCandidate(1);
    ASSERT_TRUE(file.SaveSettings());
    EXPECT_EQ(Formatted(file), Contents(file)) << "round " << round;
  }
}
