#include "store/settings_file.h"

#include <algorithm>
#include <cassert>
#include <string>

#include "platform/file_path.h"
#include "platform/os_file.h"
#include "store/save_journal.h"

// How a save replaces BTD.CFG, which stays open and locked throughout:
//   1. the journal BTD_SAVE.CFG, held open from the first save on, is
//      rewritten in place: a head with a digest of all it holds, the new
//      content, and the old content's sums (see save_journal.h); then it is
//      forced to the disk. From now on the new content is complete on the
//      disk, and the digest says so; before, the digest fails and BTD.CFG
//      is untouched;
//   2. BTD.CFG is rewritten in place and forced to the disk;
//   3. the journal's state turns to applied. It needs no flush: a pending
//      journal whose content BTD.CFG holds counts as applied.
// A save that fails in step 1 leaves BTD.CFG as it was, and the content it
// was to write in memory (m_next) as what a reload reads and the end of the
// run saves again; one that fails in step 2 leaves the journal holding the
// new content, which stays the model's and which the next save (or Exit)
// writes into BTD.CFG before anything else, never overwriting that journal
// first.
// At a normal end the journal is removed once applied. A journal pending at
// a start is a save cut short after step 1: BTD.CFG may hold the old
// content, a part of the new one over it, or the new one, and the old sums
// tell these from bytes written into BTD.CFG since (an edit by hand), which
// are kept in a copy before the save is finished from the journal as it
// stands. A BTD_SAVE.TMP (an earlier version's) or a BTD_KEPT.TMP is a copy
// cut short, while the file it came from was still whole: it is removed.
namespace {

constexpr char kJournal[] = "BTD_SAVE.CFG";
constexpr char kJournalTmp[] = "BTD_SAVE.TMP";
constexpr char kKeptTmp[] = "BTD_KEPT.TMP";
constexpr int kMostKeptCopies = 99;

bool IsMark(char c) { return c == '+' || c == '-'; }

}  // namespace

void SettingsFile::OpenEdit(int change) {
  m_openEdits += change;
  m_layoutCurrent = false;
  m_marksToSave.clear();
}

std::string_view SettingsFile::PickCandidate(size_t index) {
  EventEntry& entry = m_table[index];
  if (m_layoutCurrent && !LayoutFits(index)) m_layoutCurrent = false;  // the next save writes it all
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

bool SettingsFile::LayoutFits(size_t index) const {
  if (m_openEdits > 0 || m_layout.firstLine.size() != m_table.size()) return false;
  const EventEntry& entry = m_table[index];
  const int count = m_layout.CandidateCount(index);
  return std::max(entry.count, 0) == count &&
         static_cast<std::uint32_t>(entry.files.GetLength()) == m_layout.marks[m_layout.firstMark[index] + count];
}

bool SettingsFile::Open(const char* path) {
  Close();
  if (!CStdioFile::Open(path)) return false;
  m_path = path;
  m_keptCopy.Empty();
  m_lastSaveFailed = false;
  m_fileBehind = false;
  m_layoutCurrent = false;
  m_mayWrite = ReadContent() && m_content.empty();
  return true;
}

void SettingsFile::Close() {
  if (m_journal.IsOpen()) {
    m_journal.Close();
    if (!m_fileBehind) os_file::Remove(SidePath(kJournal));
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

SettingsFile::CutSave SettingsFile::FinishInterruptedSave(CString& changedCopy) {
  changedCopy.Empty();
  os_file::Remove(SidePath(kJournalTmp));
  os_file::Remove(SidePath(kKeptTmp));
  const CString journalPath = SidePath(kJournal);
  std::string journal;
  if (!os_file::ReadFile(journalPath, journal)) {
    return os_file::Exists(journalPath) ? CutSave::JournalUnreadable : CutSave::Finished;
  }
  if (!m_contentKnown) return CutSave::NotFinished;
  std::string_view saved;
  JournalMatch match = MatchJournal(journal, m_content, saved);
  if (match == JournalMatch::Nothing || match == JournalMatch::Applied) {
    if (Flush()) os_file::Remove(journalPath);
    return CutSave::Finished;
  }
  if (match == JournalMatch::Changed && !m_content.empty()) {
    changedCopy = KeepCopy(m_content);
    if (changedCopy.IsEmpty()) return CutSave::NotFinished;
  }
  // The journal stays as it is until the file holds its content: a cut
  // meanwhile leaves the next start the same choice.
  m_content.assign(saved);
  m_fingerprinted = false;
  m_fileBehind = true;
  if (!CatchUp()) return CutSave::NotFinished;
  os_file::Remove(journalPath);
  return CutSave::Finished;
}

bool SettingsFile::WriteJournal(std::string_view content, std::uint64_t oldTailSum) {
  FormatJournal(m_fingerprint, oldTailSum, m_nextFingerprint, m_journalHead, m_journalTail);
  return (m_journal.IsOpen() || m_journal.Open(SidePath(kJournal), os_file::Share::Reading)) &&
         m_journal.Rewrite({m_journalHead, content, m_journalTail}) && m_journal.Flush();
}

bool SettingsFile::CatchUp() {
  if (!Rewrite(m_content) || !Flush()) return false;
  m_fileBehind = false;
  if (m_journal.IsOpen()) m_journal.WriteAt(kJournalStateOffset, std::string_view(&kJournalApplied, 1));
  return true;
}

bool SettingsFile::ReplaceContent() {
  m_layoutCurrent = false;
  m_nextUnsaved = true;
  if (!KnowContent() || (m_fileBehind && !CatchUp())) return false;
  m_nextUnsaved = m_next != m_content;
  if (!m_nextUnsaved) return true;
  m_nextFingerprint.Compute(m_next);
  std::uint64_t oldTail = m_next.size() < m_content.size() ? ContentFingerprint::TailSum(m_content, m_next.size()) : 0;
  if (!WriteJournal(m_next, oldTail)) return false;  // the file is untouched
  m_nextUnsaved = false;
  m_content.swap(m_next);
  std::swap(m_fingerprint, m_nextFingerprint);
  m_fileBehind = true;
  return CatchUp();
}

bool SettingsFile::SaveAll() {
  FormatNext();
  const bool saved = ReplaceContent();
  m_layoutCurrent = saved && m_openEdits == 0;
  return saved;
}

// The marks change in place, and the content's sums with them. Offsets that
// do not point at a mark mean the layout no longer fits: all is saved then.
bool SettingsFile::SaveMarks() {
  auto fail = [this] {
    m_layoutCurrent = false;
    FormatNext();  // what was to be saved, for a reload and the end of the run
    m_nextUnsaved = true;
    return false;
  };
  if (!KnowContent() || (m_fileBehind && !CatchUp())) return fail();
  for (auto [at, mark] : m_marksToSave) {
    if (at >= m_content.size() || !IsMark(m_content[at]) || !IsMark(mark)) return SaveAll();
  }
  // The marks the content had are kept in m_marksToSave, to be put back if
  // the journal cannot be written.
  m_nextFingerprint = m_fingerprint;
  for (auto& [at, mark] : m_marksToSave) {
    m_nextFingerprint.ChangeByte(at, m_content[at], mark);
    std::swap(m_content[at], mark);
  }
  if (!WriteJournal(m_content, 0)) {
    for (auto [at, mark] : m_marksToSave) m_content[at] = mark;
    return fail();
  }
  m_marksToSave.clear();
  std::swap(m_fingerprint, m_nextFingerprint);
  m_fileBehind = true;
  if (!CatchUp()) return false;
#ifndef NDEBUG
  std::string full;
  MarkLayout layout;
  assert(FormatSettings(settings, m_table, full, layout) == m_content);
#endif
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
  const std::string_view saved = m_nextUnsaved ? m_next : m_content;
  settings = ReadSettings(saved);
  bool skipped = ReadEventSection(saved.empty() ? BuildEventCatalogue().view() : saved, m_table);
  if (skipped) {
    m_keptCopy = KeepCopy(saved);
    if (m_keptCopy.IsEmpty()) {
      m_mayWrite = false;  // the file stays as it is
      return false;
    }
  }
  m_mayWrite = true;
  m_lastSaveFailed = !SaveAll();
  return true;
}

bool SettingsFile::SaveSettings() {
  if (!m_mayWrite) {
    m_lastSaveFailed = true;
  } else if (m_layoutCurrent && m_openEdits == 0 && settings == m_layoutSettings) {
    m_lastSaveFailed = !SaveMarks();
  } else {
    m_lastSaveFailed = !SaveAll();
  }
  return !m_lastSaveFailed;
}

SettingsFile::LastSave SettingsFile::SaveLastSaved(CString& keptCopy) {
  keptCopy.Empty();
  if (!m_lastSaveFailed) return LastSave::Saved;
  if (!m_mayWrite) return LastSave::Lost;  // nothing was read, so nothing was saved over it
  if (m_nextUnsaved ? ReplaceContent() : KnowContent() && (!m_fileBehind || CatchUp())) {
    m_lastSaveFailed = false;
    return LastSave::Saved;
  }
  if (!m_nextUnsaved) return LastSave::InJournal;
  keptCopy = KeepCopy(m_next);
  return keptCopy.IsEmpty() ? LastSave::Lost : LastSave::Kept;
}
