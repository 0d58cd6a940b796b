#include "settings/save_settings.h"

#include "platform/win/win_app.h"
#include "res/resource.h"
#include "store/settings_file.h"

namespace {

void TellIfNewlyFailing(const SettingsFile& file, bool failingAlready) {
  if (file.LastSaveFailed() && !failingAlready) AfxMessageBox(IDS_SAVE_FAILED, MB_ICONEXCLAMATION);
}

}  // namespace

bool SaveSettingsOrTell(SettingsFile& file) {
  const bool failingAlready = file.LastSaveFailed();
  file.SaveSettings();
  TellIfNewlyFailing(file, failingAlready);
  return !file.LastSaveFailed();
}

bool LoadSettingsOrTell(SettingsFile& file) {
  const bool failingAlready = file.LastSaveFailed();
  if (!file.LoadSettings()) return false;
  TellIfNewlyFailing(file, failingAlready);
  return true;
}
