#include "store/startup_files.h"

#include <string>

#include "platform/file_path.h"
#include "platform/os_file.h"
#include "store/settings_file.h"

namespace {

// A backup is written here first, forced to the disk, and renamed into place.
constexpr char kBackupTmp[] = "BTD_BAK.TMP";

}  // namespace

StartupFiles StartupFiles::InCurrentDirectory() {
  return {os_file::FullPath("BTD.CFG"), os_file::FullPath("BTD_BAK.CFG"), os_file::CurrentDirectory()};
}

StartupRecovery StartupFiles::Recover(SettingsFile& file) const {
  os_file::Remove(SiblingPath(backupPath, kBackupTmp));  // an interrupted backup
  StartupRecovery recovery;
  const SettingsFile::CutSave cutSave = file.FinishInterruptedSave(recovery.changedCopy);
  const std::string* content = cutSave == SettingsFile::CutSave::Finished ? file.Content() : nullptr;
  if (!content) {
    recovery.failed = true;
    recovery.journalUnreadable = cutSave == SettingsFile::CutSave::JournalUnreadable;
    return recovery;
  }
  const std::string& current = *content;  // until the content is written
  ContentKind kind = ClassifyContent(current);
  if (kind == ContentKind::Complete) return recovery;

  std::string backup;
  ContentKind backupKind = os_file::ReadFile(backupPath, backup) ? ClassifyContent(backup) : ContentKind::Empty;
  bool backupHasSettings = backupKind == ContentKind::Cut || backupKind == ContentKind::Complete;
  // A cut file is still the newest content unless the backup is whole.
  bool replace = kind == ContentKind::Cut ? backupKind == ContentKind::Complete
                                          : kind == ContentKind::NotSettings || backupHasSettings;
  if (!replace) return recovery;

  if (kind != ContentKind::Empty) {
    recovery.keptCopy = file.KeepCopy(current);
    if (recovery.keptCopy.IsEmpty()) {
      recovery.failed = true;
      return recovery;
    }
  }
  if (backupHasSettings)
    recovery.restored = file.WriteContent(backup);
  else
    file.WriteContent("");  // nothing to restore: a first run
  return recovery;
}

bool StartupFiles::BackUp(const SettingsFile& closedFile) const {
  std::string bytes;
  if (!closedFile.HoldsLastContent() || !os_file::ReadFile(settingsPath, bytes) ||
      ClassifyContent(bytes) != ContentKind::Complete)
    return false;
  return os_file::WriteAtomically(backupPath, SiblingPath(backupPath, kBackupTmp), bytes);
}

StartupFiles::Finished StartupFiles::Finish(SettingsFile& file) const {
  Finished finished{SettingsFile::LastSave::Saved, CString()};
  if (!file.IsOpen()) return finished;
  finished.lastSave = file.SaveLastSaved(finished.keptCopy);
  file.Close();
  BackUp(file);
  return finished;
}
