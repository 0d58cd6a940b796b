#pragma once
// The settings file: options and candidate pools, held open exclusively for
// the whole run; a load that finds it in another form than the canonical
// one rewrites it. Every change of its content is atomic: a kill or a power
// cut at any instant leaves the last complete content or the one before it.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/cstring.h"
#include "platform/stdio_file.h"
#include "store/content_fingerprint.h"
#include "store/event_entry.h"
#include "store/settings_format.h"

class SettingsFile : public CStdioFile {
 public:
  ~SettingsFile() override { Close(); }

  AppSettings settings;
  const EventTable& table = m_table;  // groups, each followed by its events

  int eventCount() const { return static_cast<int>(m_table.size()); }

  // The table opened for any change but a pick. While an edit is open, and
  // after it, saves write the whole file anew: the marks a reassignment
  // saves alone are found by offsets remembered from the last full save,
  // which a change of the table moves. Keep it for the change at hand.
  class TableEdit {
   public:
    explicit TableEdit(SettingsFile& file) : m_file(&file) { file.OpenEdit(+1); }
    TableEdit(TableEdit&& other) noexcept : m_file(other.m_file) { other.m_file = nullptr; }
    TableEdit& operator=(TableEdit&&) = delete;
    ~TableEdit() {
      if (m_file) m_file->OpenEdit(-1);
    }

    EventTable& operator*() const { return m_file->m_table; }
    EventTable* operator->() const { return &m_file->m_table; }
    EventEntry& operator[](size_t index) const { return m_file->m_table[index]; }

   private:
    SettingsFile* m_file;
  };
  TableEdit EditTable() { return TableEdit(*this); }

  // A random candidate of event `index` (EventEntry::PickCandidate); the
  // save that follows writes only the marks that picks changed, as long as
  // nothing else changed. The view is valid until the pool changes.
  std::string_view PickCandidate(size_t index);

  // Opens the file exclusively (see CStdioFile) and reads it whole.
  bool Open(const char* path);
  // Closes the file, and the journal, which goes once the file holds the
  // last save.
  void Close();

  // At start-up, before anything else looks at the content: finishes a save
  // that a kill or a power cut cut short, so that the file holds its
  // content. Bytes written into the file after that (an edit by hand) are
  // first kept: `changedCopy` names the copy, empty if none. Nothing is
  // changed when the journal exists but cannot be read, or when those bytes
  // cannot be kept.
  enum class CutSave { Finished, JournalUnreadable, NotFinished };
  CutSave FinishInterruptedSave(CString& changedCopy);

  // The last complete content: what the file holds, as read at Open or
  // saved since (or, after a save that failed part-way, what its journal
  // holds for it); null when it could not be read.
  const std::string* Content() const { return m_contentKnown ? &m_content : nullptr; }

  // Parses the last content saved, or after a failed save the content it
  // was to write, into the options and a new table (the event catalogue
  // stands in for an empty file), then saves the canonical form.
  // Lines it cannot keep are not lost: the original bytes go to a file of
  // their own first, named by KeptCopy(). False, with nothing written, when
  // the file cannot be read or its bytes cannot be kept.
  bool LoadSettings();

  // Replaces the file content with the model. On failure the model is kept,
  // and so is its form as saved, for LoadSettings and SaveLastSaved;
  // LastSaveFailed() reports it, and the next save tries again. A file whose
  // content was never read is never overwritten.
  bool SaveSettings();
  bool LastSaveFailed() const { return m_lastSaveFailed; }

  // At the end of a run: tries once more a save that failed, with the
  // content that save was to write, never the model as it stands (edits
  // made since were not saved, so they are not wanted). What still cannot
  // be written stays in the journal, if the journal holds it whole, or is
  // kept in a copy beside the file (KeepCopy), named by `keptCopy`.
  enum class LastSave { Saved, InJournal, Kept, Lost };
  LastSave SaveLastSaved(CString& keptCopy);

  // True when the file holds the complete content of the last load or save.
  bool HoldsLastContent() const { return m_mayWrite && !m_lastSaveFailed; }

  // The file that holds the bytes the last load could not keep; empty if none.
  const CString& KeptCopy() const { return m_keptCopy; }

  // Replaces the content atomically, whatever the model.
  bool WriteContent(std::string_view bytes);

  // Writes `bytes` to a new file beside this one, never over an older copy;
  // its path, or empty when no copy could be written.
  CString KeepCopy(std::string_view bytes) const;

  // An event section for the sound events registered for the user.
  CString BuildEventCatalogue() const;

 private:
  // The file changes only through the journal (WriteJournal, CatchUp).
  using CStdioFile::Flush;
  using CStdioFile::Rewrite;

  void OpenEdit(int change);
  CString SidePath(const char* name) const;
  bool ReadContent();
  // The content known and fingerprinted, read again if need be.
  bool KnowContent();
  // The canonical form of the model into m_next, and its layout.
  void FormatNext();
  // Whether the layout still tells where the marks of entry `index` sit.
  bool LayoutFits(size_t index) const;
  // Saves the canonical form of the model.
  bool SaveAll();
  // Saves m_next as the new content.
  bool ReplaceContent();
  // Saves the content with the marks of the picks since the last save.
  bool SaveMarks();
  // Step 1 of a save (see settings_file.cpp): `content`, described by
  // m_nextFingerprint, over m_content in the journal, on the disk.
  bool WriteJournal(std::string_view content, std::uint64_t oldTailSum);
  // Brings the file to m_content, which the journal holds.
  bool CatchUp();

  EventTable m_table;
  int m_openEdits = 0;
  CString m_path;
  CString m_keptCopy;
  std::string m_content;  // the last complete content
  bool m_contentKnown = false;
  bool m_fileBehind = false;         // the file may hold a part of m_content: the journal holds it whole
  ContentFingerprint m_fingerprint;  // of m_content, once m_fingerprinted
  bool m_fingerprinted = false;
  std::string m_next;          // the content being saved; kept between saves, which are of one size
  bool m_nextUnsaved = false;  // m_next is the content of a save that failed before its journal was whole
  ContentFingerprint m_nextFingerprint;
  CStdioFile m_journal;  // opened by the first save
  std::string m_journalHead, m_journalTail;
  // Where the marks sit in m_content and the table, while m_layoutCurrent:
  // the content is the format of m_layoutSettings and a table that has
  // changed since in its marks alone, those of m_marksToSave.
  MarkLayout m_layout;
  AppSettings m_layoutSettings;
  bool m_layoutCurrent = false;
  std::vector<std::pair<std::uint32_t, char>> m_marksToSave;  // offset in the content, new mark
  bool m_mayWrite = false;                                    // the content was read whole, or there was none
  bool m_lastSaveFailed = false;
};
