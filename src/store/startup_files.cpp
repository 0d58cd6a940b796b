#include "store/startup_files.h"

#include "platform/os_file.h"
#include "store/settings_file.h"

StartupFiles StartupFiles::InCurrentDirectory() {
  return {os_file::FullPath("BTD.CFG"), os_file::FullPath("BTD_BAK.CFG")};
}

bool StartupFiles::RestoreFromBackup() const {
  if (os_file::FileSize(settingsPath) > 0) return false;
  return os_file::FileSize(backupPath) > 0 && os_file::CopyOver(backupPath, settingsPath);
}

bool StartupFiles::BackUp(const SettingsFile& closedFile) const {
  if (closedFile.LastSaveFailed() || os_file::FileSize(settingsPath) <= 0) return false;
  return os_file::CopyOver(settingsPath, backupPath);
}

namespace {
CString& RecordedDirectory() {
  static CString directory;
  return directory;
}
}  // namespace

const CString& StartupDirectory() { return RecordedDirectory(); }

void RecordStartupDirectory() { RecordedDirectory() = os_file::CurrentDirectory(); }
