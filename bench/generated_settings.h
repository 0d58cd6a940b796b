#pragma once
// The settings files the benchmark hands to belltide.exe: application groups
// of 50 events, each event with its own pool of distinct 55-byte paths, and
// the registry writes a reassignment of such a file makes.

#include <string>
#include <vector>

// One value a reassignment writes: the event's .Current key under
// HKEY_CURRENT_USER and a value of the length the program writes there.
struct SoundWrite {
  std::string keyPath;
  std::string value;
};

struct GeneratedSettings {
  std::string content;                 // BTD.CFG as it goes on disk, CR LF lines
  std::vector<std::string> groupKeys;  // one key under HKEY_CURRENT_USER per group
  std::vector<SoundWrite> writes;      // one per event
  int candidates = 0;
};

// `events` events of `candidatesPerEvent` candidates each, every candidate
// not yet played, with the settings that start the program without a
// reassignment and keep its status window up for a minute.
GeneratedSettings GenerateSettings(int events, int candidatesPerEvent);
