#include "schemes/sound_schemes.h"

#include <string>

#include "platform/registry.h"
#include "store/app_events.h"

namespace {

void SetActiveScheme(const char* scheme, SoundsInForce& written) {
  RegistryKey::OpenForWrite(app_events::kSchemesKey).SetString(nullptr, scheme);
  written.SetActiveScheme(scheme);
}

// Calls write(event, keyPath, valueName) for every event that follows a
// group; valueName is null for an event's own .Current key, the event's key
// for the named values of a registry group. The key paths share one buffer.
template <class Write>
void ForEachEventSound(const EventTable& table, Write write) {
  std::string keyPath;
  ForEachEntry(table, [&](const EventEntry& entry, const EventEntry* group) {
    if (entry.IsGroup() || !group) return;
    if (group->IsRegistryGroup()) {
      write(entry, static_cast<const char*>(group->key) + 2, static_cast<const char*>(entry.key));
    } else {
      app_events::EventSchemeKey(*group, entry, app_events::kCurrentScheme, keyPath);
      write(entry, keyPath.c_str(), static_cast<const char*>(nullptr));
    }
  });
}

}  // namespace

SoundsInForce AssignRandomSounds(SettingsFile& file) {
  SoundsInForce written;
  SetActiveScheme(app_events::kCurrentScheme, written);
  std::string sound;  // the picked path with its NUL, in one buffer for every event
  ForEachEventSound(file.table, [&](const EventEntry& event, const char* keyPath, const char* valueName) {
    sound.assign(file.PickCandidate(static_cast<size_t>(&event - file.table.data())));
    RegistryKey::Create(keyPath).SetString(valueName, sound.c_str());
    written.AddWritten(keyPath, valueName, sound);
  });
  return written;
}

SoundsInForce SilenceSounds(const EventTable& table) {
  SoundsInForce written;
  SetActiveScheme(app_events::kNoSoundScheme, written);
  ForEachEventSound(table, [&](const EventEntry&, const char* keyPath, const char* valueName) {
    RegistryKey::Create(keyPath).SetString(valueName, "");
    written.AddWritten(keyPath, valueName, "");
  });
  return written;
}

SoundsInForce ReadSoundsInForce(const EventTable& table) {
  SoundsInForce found = SoundsInForce::ReadNow();
  ForEachEventSound(table, [&](const EventEntry&, const char* keyPath, const char* valueName) {
    found.AddFound(keyPath, valueName);
  });
  return found;
}
