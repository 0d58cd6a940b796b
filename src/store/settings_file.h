#pragma once
// The settings file: options and candidate pools, held open exclusively for
// the whole run and rewritten in canonical form after every load. Every
// change of its content is atomic: a kill or a power cut at any instant
// leaves the last complete content or the one before it.

#include <string_view>

#include "platform/cstring.h"
#include "platform/stdio_file.h"
#include "store/event_entry.h"
#include "store/settings_format.h"

class SettingsFile : public CStdioFile {
 public:
  ~SettingsFile() override { Close(); }

  AppSettings settings;
  EventTable table;  // groups, each followed by its events

  int eventCount() const { return static_cast<int>(table.size()); }

  // Opens the file exclusively (see CStdioFile) and finishes a save that was
  // cut short, so that it holds the last complete content.
  bool Open(const char* path);
  // Closes the file once it holds the last save on the disk.
  void Close();

  // Reads the whole file into the options and a new table (the event
  // catalogue stands in for an empty file), then saves the canonical form.
  // Lines it cannot keep are not lost: the original bytes go to a file of
  // their own first, named by KeptCopy(). False, with nothing written, when
  // the file cannot be read or its bytes cannot be kept.
  bool LoadSettings();

  // Replaces the file content with the model. On failure the model is kept
  // and LastSaveFailed() reports it; a file whose content was never read is
  // never overwritten.
  bool SaveSettings();
  bool LastSaveFailed() const { return m_lastSaveFailed; }

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
  CString SidePath(const char* name) const;
  void FinishInterruptedSave();

  CString m_path;
  CString m_keptCopy;
  bool m_journalKept = false;  // a save of this run left its journal
  std::string m_saveBuffer;    // kept between saves: they are of one size
  bool m_mayWrite = false;     // the content was read whole, or there was none
  bool m_lastSaveFailed = false;
};
