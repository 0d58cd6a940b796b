#include "store/settings_file.h"

#include <string>

#include "platform/file_path.h"
#include "platform/os_file.h"
#include "store/save_journal.h"

// How a save replaces BTD.CFG, which stays open and locked throughout:
//   1. the new content, then a trailer that describes the old one (see
//      save_journal.h), goes to BTD_SAVE.TMP, which is forced to the disk;
//   2. BTD_SAVE.TMP is renamed over BTD_SAVE.CFG: from now on the new
//      content is complete on the disk (a rename is atomic);
//   3. BTD.CFG is rewritten in place and forced to the disk;
//   4. BTD_SAVE.CFG is removed: nothing is left unfinished.
// A BTD_SAVE.CFG found at a start is a save cut short between 2 and 4, and
// BTD.CFG may hold the old content, a part of the new one over it, or the
// new one. The trailer tells these from bytes written into BTD.CFG since
// (an edit by hand), which are kept in a copy before the save is finished.
// A BTD_SAVE.TMP is a cut step 1, while the journal (or BTD.CFG) was still
// whole: it is removed, and so is a BTD_KEPT.TMP.
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
  m_mayWrite = ReadContent() && m_content.empty();
  return true;
}

CString SettingsFile::SidePath(const char* name) const { return SiblingPath(m_path, name); }

bool SettingsFile::ReadContent() {
  m_fingerprinted = false;
  m_contentKnown = ReadAll(m_content);
  return m_contentKnown;
}

bool SettingsFile::FinishInterruptedSave(CString& changedCopy) {
  changedCopy.Empty();
  os_file::Remove(SidePath(kJournalTmp));
  os_file::Remove(SidePath(kKeptTmp));  // a copy cut short; the file it came from is still whole
  std::string journal;
  if (!m_contentKnown || !os_file::ReadFile(SidePath(kJournal), journal)) return true;
  std::string_view saved;
  JournalMatch match = MatchJournal(journal, m_content, saved);
  if (match == JournalMatch::Applied) {
    if (Flush()) os_file::Remove(SidePath(kJournal));
    return true;
  }
  if (match == JournalMatch::Changed && !m_content.empty()) {
    changedCopy = KeepCopy(m_content);
    if (changedCopy.IsEmpty()) return false;
  }
  // Through a journal of its own, so that a kill meanwhile is finished too.
  m_next.assign(saved);
  return ReplaceContent();
}

bool SettingsFile::ReplaceContent() {
  if (!m_contentKnown && !ReadContent()) return false;
  if (!m_fingerprinted) m_fingerprint = ContentFingerprint(m_content);
  m_fingerprinted = true;
  std::uint64_t oldTail = m_next.size() < m_content.size() ? ContentFingerprint::TailSum(m_content, m_next.size()) : 0;
  FormatJournalTrailer(m_fingerprint, oldTail, m_next.size(), m_trailer);
  CString journal = SidePath(kJournal);
  if (!os_file::WriteAtomically(journal, SidePath(kJournalTmp), {m_next, m_trailer})) return false;
  if (!Rewrite(m_next) || !Flush()) {
    m_contentKnown = false;  // a part may be written: read again before the next save
    return false;
  }
  os_file::Remove(journal);
  m_content.swap(m_next);
  m_fingerprinted = false;
  return true;
}

bool SettingsFile::WriteContent(std::string_view bytes) {
  m_next.assign(bytes);
  return ReplaceContent();
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

void SettingsFile::FormatNext() { m_next.resize(FormatSettings(settings, table, m_next).size()); }

bool SettingsFile::LoadSettings() {
  m_keptCopy.Empty();
  if (!m_contentKnown && !ReadContent()) {
    m_mayWrite = false;
    return false;
  }
  settings = ReadSettings(m_content);
  bool skipped =
      ReadEventSection(m_content.empty() ? BuildEventCatalogue().view() : std::string_view(m_content), table);
  if (skipped) {
    m_keptCopy = KeepCopy(m_content);
    if (m_keptCopy.IsEmpty()) {
      m_mayWrite = false;  // the file stays as it is
      return false;
    }
  }
  m_mayWrite = true;
  FormatNext();
  // A file already in canonical form needs no write.
  m_lastSaveFailed = m_next != m_content && !ReplaceContent();
  return true;
}

bool SettingsFile::SaveSettings() {
  if (m_mayWrite) FormatNext();
  m_lastSaveFailed = !m_mayWrite || !ReplaceContent();
  return !m_lastSaveFailed;
}
