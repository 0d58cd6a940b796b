#pragma once
// Saving the settings where the user may need to act: the first save that
// fails after one that did not says what to do. Nothing applied is lost
// meanwhile: the settings stay in memory as the failed save was to write
// them, a reload (Cancel) returns to them, and the next save, Exit and the
// end of the session try again; Exit tells where they went if it cannot.

class SettingsFile;

bool SaveSettingsOrTell(SettingsFile& file);

// SettingsFile::LoadSettings, which ends with a save.
bool LoadSettingsOrTell(SettingsFile& file);
