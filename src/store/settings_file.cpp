#include "store/settings_file.h"

#include <string>

#include "platform/file_path.h"
#include "platform/os_file.h"
#include "store/save_journal.h"

// How a save replaces BTD.CFG, which stays open and locked throughout:
//   1. the journal BTD_SAVE.CFG, held open from the first save on, is
//      rewritten in place: a head with the new content's digest, the new
//      content, and the old content's sums (see save_journal.h); then it is
//      forced to the disk. From now on the new content is complete on the
//      disk, and the digest says so;
//   2. BTD.CFG is rewritten in place and forced to the disk;
//   3. the journal's state turns to applied. It needs no flush: a pending
//      journal whose content BTD.CFG holds counts as applied.
// At a normal end the journal is removed once applied. A journal pending at
// a start is a save cut short after step 1: BTD.CFG may hold the old
// content, a part of the new one over it, or the new one, and the old sums
// tell these from bytes written into BTD.CFG since (an edit by hand), which
// are kept in a copy before the save is finished. A journal cut short in
// step 1 fails its digest, while BTD.CFG still holds the content before.
// A BTD_SAVE.TMP (an earlier version's) or a BTD_KEPT.TMP is a copy cut
// short, while the file it came from was still whole: it is removed.
namespace {

constexpr char kJournal[] = "BTD_SAVE.CFG";
constexpr char kJournalTmp[] = "BTD_SAVE.TMP";
constexpr char kKeptTmp[] = "BTD_KEPT.TMP";
constexpr int kMostKeptCopies = 99;

}  // namespace

EventTable& SettingsFile::EditTable() {
  m_layoutCurrent = false;
  m_marksToSave.clear();
  return m_table;
}

std::string_view SettingsFile::PickCandidate(size_t index) {
  EventEntry& entry = m_table[index];
  if (!m_layoutCurrent) return entry.PickCandidate().path;
  const std::uint32_t* marks = &m_layout.marks[m_layout.firstMark[index]];
  const int count = m_layout.CandidateCount(index);
  const Pick pick = entry.PickCandidate(marks, count);
  auto keep = [&](int j) {
    m_marksToSave.emplace_back(m_layout.firstLine[index] + marks[j] + j, entry.files[marks[j]]);
  };
  if (pick.newCycle) {
    for (int j = 0; j < count; ++j) keep(j);
  } else if (pick.index >= 0) {
    keep(pick.index);
  }
  return pick.path;
}

bool SettingsFile::Open(const char* path) {
  Close();
  if (!CStdioFile::Open(path)) return false;
  m_path = path;
  m_keptCopy.Empty();
  m_lastSaveFailed = false;
  m_layoutCurrent = false;
  m_mayWrite = ReadContent() && m_content.empty();
  return true;
}

void SettingsFile::Close() {
  if (m_journal.IsOpen()) {
    m_journal.Close();
    if (m_journalApplied) os_file::Remove(SidePath(kJournal));
  }
  CStdioFile::Close();
}

CString SettingsFile::SidePath(const char* name) const { return SiblingPath(m_path, name); }

bool SettingsFile::ReadContent() {
  m_fingerprinted = false;
  m_contentKnown = ReadAll(m_content);
  return m_contentKnown;
}

bool SettingsFile::KnowContent() {
  if (!m_contentKnown && !ReadContent()) return false;
  if (!m_fingerprinted) m_fingerprint.Compute(m_content);
  m_fingerprinted = true;
  return true;
}

bool SettingsFile::FinishInterruptedSave(CString& changedCopy) {
  changedCopy.Empty();
  os_file::Remove(SidePath(kJournalTmp));
  os_file::Remove(SidePath(kKeptTmp));
  std::string journal;
  if (!m_contentKnown || !os_file::ReadFile(SidePath(kJournal), journal)) return true;
  std::string_view saved;
  JournalMatch match = MatchJournal(journal, m_content, saved);
  if (match == JournalMatch::Nothing || match == JournalMatch::Applied) {
    if (Flush()) os_file::Remove(SidePath(kJournal));
    return true;
  }
  if (match == JournalMatch::Changed && !m_content.empty()) {
    changedCopy = KeepCopy(m_content);
    if (changedCopy.IsEmpty()) return false;
  }
  // Through the journal again, so that a kill meanwhile is finished too.
  m_next.assign(saved);
  return ReplaceContent();
}

bool SettingsFile::WriteThroughJournal(std::string_view content, std::uint64_t oldTailSum) {
  FormatJournal(m_fingerprint, oldTailSum, m_nextFingerprint, m_journalHead, m_journalTail);
  m_journalApplied = false;
  bool saved = (m_journal.IsOpen() || m_journal.Open(SidePath(kJournal), os_file::Share::Reading)) &&
               m_journal.Rewrite({m_journalHead, content, m_journalTail}) && m_journal.Flush() && Rewrite(content) &&
               Flush();
  if (!saved) {
    m_contentKnown = false;  // a part may be written: read again before the next save
    m_layoutCurrent = false;
    return false;
  }
  m_journalApplied = true;
  m_journal.WriteAt(kJournalStateOffset, std::string_view(&kJournalApplied, 1));
  std::swap(m_fingerprint, m_nextFingerprint);
  return true;
}

bool SettingsFile::ReplaceContent() {
  m_layoutCurrent = false;
  if (!KnowContent()) return false;
  m_nextFingerprint.Compute(m_next);
  std::uint64_t oldTail = m_next.size() < m_content.size() ? ContentFingerprint::TailSum(m_content, m_next.size()) : 0;
  if (!WriteThroughJournal(m_next, oldTail)) return false;
  m_content.swap(m_next);
  return true;
}

// The marks change in place, and the content's sums with them.
bool SettingsFile::SaveMarks() {
  if (!KnowContent()) return false;
  m_nextFingerprint = m_fingerprint;
  for (auto [at, mark] : m_marksToSave) {
    m_nextFingerprint.ChangeByte(at, m_content[at], mark);
    m_content[at] = mark;
  }
  m_marksToSave.clear();
  return WriteThroughJournal(m_content, 0);
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

void SettingsFile::FormatNext() {
  m_next.resize(FormatSettings(settings, m_table, m_next, m_layout).size());
  m_layoutSettings = settings;
  m_marksToSave.clear();
}

bool SettingsFile::LoadSettings() {
  m_keptCopy.Empty();
  m_layoutCurrent = false;
  if (!m_contentKnown && !ReadContent()) {
    m_mayWrite = false;
    return false;
  }
  settings = ReadSettings(m_content);
  bool skipped =
      ReadEventSection(m_content.empty() ? BuildEventCatalogue().view() : std::string_view(m_content), m_table);
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
  m_layoutCurrent = m_next == m_content || ReplaceContent();
  m_lastSaveFailed = !m_layoutCurrent;
  return true;
}

bool SettingsFile::SaveSettings() {
  if (!m_mayWrite) {
    m_lastSaveFailed = true;
  } else if (m_layoutCurrent && settings == m_layoutSettings) {
    m_lastSaveFailed = !SaveMarks();
  } else {
    FormatNext();
    m_layoutCurrent = ReplaceContent();
    m_lastSaveFailed = !m_layoutCurrent;
  }
  return !m_lastSaveFailed;
}
