#pragma once
// Where the settings file and its backup live, and the start-up and exit
// handling of the backup. Both files sit in the working directory that the
// program was started in, whatever directory a dialog moves to later.

#include "platform/cstring.h"

class SettingsFile;

struct StartupFiles {
  CString settingsPath;  // BTD.CFG
  CString backupPath;    // BTD_BAK.CFG

  // The two files in the current working directory.
  static StartupFiles InCurrentDirectory();

  // Copies the backup over a missing or empty settings file when the backup
  // has content. True only when the copy was made.
  bool RestoreFromBackup() const;

  // At a normal end, after the settings file was closed: copies it over the
  // backup, unless its last save failed or it is empty, so that a damaged
  // file never replaces a good backup.
  bool BackUp(const SettingsFile& closedFile) const;
};

// The working directory recorded when the resident window starts.
const CString& StartupDirectory();
void RecordStartupDirectory();
