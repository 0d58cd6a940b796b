#include "app/belltide_app.h"

#include "res/resource.h"
#include "shell/resident_dlg.h"
#include "shell/ui_language.h"
#include "store/settings_file.h"
#include "store/startup_files.h"

bool CBelltideApp::InitInstance() {
  ChooseUiLanguage();
  // Full paths: a dialog that changes the working directory must not move
  // the settings file or its backup.
  const StartupFiles files = StartupFiles::InCurrentDirectory();

  // The exclusive open is also what keeps a second copy from running, so
  // nothing beside the settings file is touched before it.
  SettingsFile settingsFile;
  if (!settingsFile.Open(files.settingsPath)) {
    AfxMessageBox(IDS_CANNOT_OPEN, MB_ICONSTOP);
    return false;
  }
  StartupRecovery recovery = files.Recover(settingsFile);
  if (recovery.restored) AfxMessageBox(IDS_RESTORED, MB_ICONINFORMATION);
  if (!recovery.keptCopy.IsEmpty()) TellKeptCopy(recovery.keptCopy);
  if (recovery.failed) {
    AfxMessageBox(IDS_LEFT_UNCHANGED, MB_ICONSTOP);
    return false;
  }

  CResidentDlg residentDlg(settingsFile, files);
  residentDlg.DoModal();
  files.Finish(settingsFile);
  return false;  // no message loop: the program ends here
}
