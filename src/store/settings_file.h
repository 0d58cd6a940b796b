#pragma once
// The settings file: options and candidate pools, held open exclusively for
// the whole run and rewritten in canonical form after every load.

#include "platform/cstring.h"
#include "platform/stdio_file.h"
#include "store/event_entry.h"

// The five options, named as in the file.
struct AppSettings {
  int Setup = 0;              // 1 once the settings dialog has been applied
  int BootOnNoSound = 0;      // silence the sounds at start-up
  int BootOnSoundChange = 0;  // reassign the sounds when the start-up wait ends
  int BootWaitTime = 0;       // start-up wait, seconds
  int Timer = 0;              // minutes between automatic changes; <= 0: none
};

class SettingsFile : public CStdioFile {
 public:
  AppSettings settings;
  EventTable table;  // groups, each followed by its events

  int eventCount() const { return static_cast<int>(table.size()); }

  // Reads the options and a new table from the open file (writing the event
  // catalogue first into an empty file), then saves the canonical form.
  void LoadSettings();

  // Replaces the file content with the model in one write and flushes it.
  // On failure the model is kept and LastSaveFailed() reports it.
  bool SaveSettings();
  bool LastSaveFailed() const { return m_lastSaveFailed; }

  // The value of the first line of the settings section that begins with
  // `key`, converted from one character after it like atoi; `defaultValue`
  // when no line matches.
  int ReadSetting(const CString& key, int defaultValue);

  // Writes an event section for the sound events registered for the user.
  void BuildEventCatalogue();

 private:
  // The canonical file content for the model, with "\n" line breaks.
  CString FormatContent() const;
  void ReadEventSection();

  bool m_lastSaveFailed = false;
};
