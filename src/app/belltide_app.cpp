#include "app/belltide_app.h"

#include <shellapi.h>

#include <vector>

#include "app/running_copy.h"
#include "platform/ansi_text_win32.h"
#include "res/resource.h"
#include "shell/resident_dlg.h"
#include "shell/ui_language.h"
#include "store/settings_file.h"
#include "store/startup_files.h"

namespace {

// The exit codes of a start with a switch; a start without one ends with 0.
constexpr int kExitDone = 0, kExitFailed = 1, kExitUnknownSwitch = 2, kExitRefused = 4;

// A copy starting up holds the settings file a moment before its window
// answers; this long it may take.
constexpr DWORD kCopyStartingUp = 5000;

// Settings that could not be saved at Exit never vanish without a word.
void TellUnsaved(const StartupFiles::Finished& finished) {
  switch (finished.lastSave) {
    case SettingsFile::LastSave::Saved:
      break;
    case SettingsFile::LastSave::InJournal:
      AfxMessageBox(IDS_UNSAVED_IN_JOURNAL, MB_ICONEXCLAMATION);
      break;
    case SettingsFile::LastSave::Kept:
      TellKeptCopy(IDS_UNSAVED_KEPT, finished.keptCopy);
      break;
    case SettingsFile::LastSave::Lost:
      AfxMessageBox(IDS_UNSAVED_LOST, MB_ICONSTOP);
      break;
  }
}

std::vector<std::wstring> CommandLineArguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; words && i < count; ++i) arguments.emplace_back(words[i]);
  LocalFree(words);
  return arguments;
}

}  // namespace

bool CBelltideApp::InitInstance() {
  ChooseUiLanguage();
  RemoteCommand command = ParseSwitch(CommandLineArguments());
  if (command == RemoteCommand::Help || command == RemoteCommand::Unknown) {
    AfxMessageBox(IDS_USAGE, command == RemoteCommand::Help ? MB_ICONINFORMATION : MB_ICONEXCLAMATION);
    m_exitCode = command == RemoteCommand::Help ? kExitDone : kExitUnknownSwitch;
    return false;
  }
  // Full paths: a dialog that changes the working directory must not move
  // the settings file or its backup.
  const StartupFiles files = StartupFiles::InCurrentDirectory();

  // The exclusive open is also what keeps a second copy from running, so
  // nothing beside the settings file is touched before it. A start with a
  // switch asks the copy of this folder first; /exit with none running
  // has nothing to do.
  SettingsFile settingsFile;
  for (DWORD began = GetTickCount();;) {
    if (command != RemoteCommand::None) {
      RemoteAnswer answer = HandToRunningCopy(command, Widen(files.folder.view()));
      if (answer != kNotAddressed || command == RemoteCommand::Exit) {
        m_exitCode = answer == kRefused ? kExitRefused : kExitDone;
        return false;
      }
    }
    if (settingsFile.Open(files.settingsPath)) break;
    if (command == RemoteCommand::None || GetTickCount() - began > kCopyStartingUp) {
      AfxMessageBox(IDS_CANNOT_OPEN, MB_ICONSTOP);
      m_exitCode = command == RemoteCommand::None ? kExitDone : kExitFailed;
      return false;
    }
    Sleep(250);
  }
  StartupRecovery recovery = files.Recover(settingsFile);
  if (!recovery.changedCopy.IsEmpty()) TellKeptCopy(IDS_CHANGED_KEPT, recovery.changedCopy);
  if (recovery.restored) AfxMessageBox(IDS_RESTORED, MB_ICONINFORMATION);
  if (!recovery.keptCopy.IsEmpty()) TellKeptCopy(IDS_KEPT_COPY, recovery.keptCopy);
  if (recovery.failed) {
    AfxMessageBox(recovery.journalUnreadable ? IDS_JOURNAL_UNREADABLE : IDS_LEFT_UNCHANGED, MB_ICONSTOP);
    m_exitCode = command == RemoteCommand::None ? kExitDone : kExitFailed;
    return false;
  }

  CResidentDlg residentDlg(settingsFile, files);
  residentDlg.DoOnceResident(command);
  residentDlg.DoModal();
  TellUnsaved(files.Finish(settingsFile));
  return false;  // no message loop: the program ends here
}
