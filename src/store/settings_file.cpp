#include "store/settings_file.h"

#include <string>

#include "platform/file_path.h"
#include "platform/os_file.h"

// How a save replaces BTD.CFG, which stays open and locked throughout:
//   1. the new content goes to BTD_SAVE.TMP, which is forced to the disk;
//   2. BTD_SAVE.TMP is renamed over BTD_SAVE.CFG: from now on the new
//      content is complete on the disk (a rename is atomic);
//   3. BTD.CFG is rewritten in place.
// BTD_SAVE.CFG thus always holds the last complete save while the program
// runs; at a normal end BTD.CFG is forced to the disk and BTD_SAVE.CFG is
// removed. A BTD_SAVE.CFG found at a start means the last run ended in the
// middle of things: BTD.CFG may be cut or older, so the journal's content is
// written into it again. A BTD_SAVE.TMP is a cut step 1, while the journal
// (or BTD.CFG) was still whole: it is removed, and so is a BTD_KEPT.TMP.
namespace {

constexpr char kJournal[] = "BTD_SAVE.CFG";
constexpr char kJournalTmp[] = "BTD_SAVE.TMP";
constexpr char kKeptTmp[] = "BTD_KEPT.TMP";
constexpr int kMostKeptCopies = 99;

}  // namespace

bool SettingsFile::Open(const char* path) {
  if (!CStdioFile::Open(path)) return false;
  m_path = path;
  m_keptCopy.Empty();
  m_lastSaveFailed = false;
  m_journalKept = false;
  FinishInterruptedSave();
  m_mayWrite = GetLength() == 0;
  return true;
}

void SettingsFile::Close() {
  if (!IsOpen()) return;
  if (m_journalKept && !m_lastSaveFailed && Flush()) os_file::Remove(SidePath(kJournal));
  m_journalKept = false;
  CStdioFile::Close();
}

CString SettingsFile::SidePath(const char* name) const { return SiblingPath(m_path, name); }

void SettingsFile::FinishInterruptedSave() {
  CString journal = SidePath(kJournal);
  std::string saved;
  if (os_file::ReadFile(journal, saved) && Rewrite(saved) && Flush()) os_file::Remove(journal);
  os_file::Remove(SidePath(kJournalTmp));
  os_file::Remove(SidePath(kKeptTmp));  // a copy cut short; the file it came from is still whole
}

bool SettingsFile::WriteContent(std::string_view bytes) {
  if (!os_file::WriteAtomically(SidePath(kJournal), SidePath(kJournalTmp), bytes)) return false;
  m_journalKept = true;
  return Rewrite(bytes);
}

CString SettingsFile::KeepCopy(std::string_view bytes) const {
  for (int n = 1; n <= kMostKeptCopies; ++n) {
    CString name("BTD_KEPT.CFG");
    if (n > 1) name.Format("BTD_KEPT%d.CFG", n);
    CString path = SidePath(name);
    if (os_file::Exists(path)) continue;
    return os_file::WriteAtomically(path, SidePath(kKeptTmp), bytes) ? path : CString();
  }
  return CString();
}

bool SettingsFile::LoadSettings() {
  m_keptCopy.Empty();
  std::string bytes;
  if (!ReadAll(bytes)) {
    m_mayWrite = false;
    return false;
  }
  settings = ReadSettings(bytes);
  bool skipped = ReadEventSection(bytes.empty() ? BuildEventCatalogue().view() : std::string_view(bytes), table);
  if (skipped) {
    m_keptCopy = KeepCopy(bytes);
    if (m_keptCopy.IsEmpty()) {
      m_mayWrite = false;  // the file stays as it is
      return false;
    }
  }
  m_mayWrite = true;
  std::string_view canonical = FormatSettings(settings, table, m_saveBuffer);
  // A file already in canonical form needs no write.
  m_lastSaveFailed = canonical != bytes && !WriteContent(canonical);
  return true;
}

bool SettingsFile::SaveSettings() {
  m_lastSaveFailed = !m_mayWrite || !WriteContent(FormatSettings(settings, table, m_saveBuffer));
  return !m_lastSaveFailed;
}
