#pragma once
// Where the settings file and its backup live, and what happens to them at
// start-up and at a normal end. Both files sit in the working directory
// that the program was started in, whatever directory a dialog moves to
// later.

#include "platform/cstring.h"
#include "store/settings_file.h"

// What the start-up did to the settings file.
struct StartupRecovery {
  CString changedCopy;             // bytes written into it after a save was cut short; empty if none
  bool restored = false;           // the backup's content replaced it
  CString keptCopy;                // the file that holds its earlier bytes; empty if none
  bool failed = false;             // it could not be read, or its bytes not kept: left alone
  bool journalUnreadable = false;  // failed for this: a save's journal exists but cannot be read
};

struct StartupFiles {
  CString settingsPath;  // BTD.CFG
  CString backupPath;    // BTD_BAK.CFG
  CString folder;        // the working directory at start-up

  // The two files in the current working directory.
  static StartupFiles InCurrentDirectory();

  // Once the settings file is open: finishes a save that was cut short
  // (SettingsFile::FinishInterruptedSave), then puts the backup in place of
  // a settings file that holds no settings (empty, not text), or that was
  // cut short while a complete backup exists. The bytes it replaces are kept
  // first.
  StartupRecovery Recover(SettingsFile& file) const;

  // At a normal end, after the settings file was closed: replaces the backup
  // with a complete copy of it, unless its last save failed, so that a
  // damaged file never replaces a good backup.
  bool BackUp(const SettingsFile& closedFile) const;

  // The end of a run, by Exit or by the end of the Windows session: tries
  // once more a save that failed (SettingsFile::SaveLastSaved: what was
  // saved last, not edits made since), closes the settings file once its
  // last save is on the disk, then backs it up. Does nothing when the file
  // is closed already.
  struct Finished {
    SettingsFile::LastSave lastSave;
    CString keptCopy;  // where the settings went when the file could not take them
  };
  Finished Finish(SettingsFile& file) const;
};
