#pragma once
// The sounds Windows plays for the events of the table, in the current
// user's registry: AppEvents\Schemes\Apps\<app>\<event>\.Current for the
// events of an application group, named values of the key that a registry
// group names for its events. Each write returns what it wrote, so that a
// change made by someone else can be told from Belltide's own.

#include "schemes/sounds_in_force.h"
#include "store/event_entry.h"
#include "store/settings_file.h"

// Picks one candidate per event of the file's table (SettingsFile::
// PickCandidate) and writes it as the event's sound, an empty pool as no
// sound; makes ".Current" the active scheme. Events before the first group
// have no place to go and are passed over.
SoundsInForce AssignRandomSounds(SettingsFile& file);

// Makes ".None" the active scheme and writes no sound for every event that
// AssignRandomSounds writes: Windows plays each event's own value and does
// not look at the active scheme, so the values must be cleared too.
SoundsInForce SilenceSounds(const EventTable& table);

// What the registry holds now where those two write.
SoundsInForce ReadSoundsInForce(const EventTable& table);
