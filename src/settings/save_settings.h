#pragma once
// Saving the settings where the user may need to act: the first save that
// fails after one that did not says what to do. Nothing is lost meanwhile:
// the settings stay in memory, and the next save and Exit try again.

class SettingsFile;

bool SaveSettingsOrTell(SettingsFile& file);

// SettingsFile::LoadSettings, which ends with a save.
bool LoadSettingsOrTell(SettingsFile& file);
