#include "schemes/sound_schemes.h"

#include "platform/registry.h"
#include "store/app_events.h"

namespace {

void SetActiveScheme(const char* scheme) {
  RegistryKey::OpenForWrite(app_events::kSchemesKey).SetString(nullptr, scheme);
}

// Calls write(event, keyPath, valueName) for every event that follows a
// group; valueName is null for an event's own .Current key, the event's key
// for the named values of a registry group.
template <class Table, class Write>
void ForEachEventSound(Table& table, Write write) {
  ForEachEntry(table, [&](auto& entry, const EventEntry* group) {
    if (entry.IsGroup() || !group) return;
    if (group->IsRegistryGroup())
      write(entry, group->key.Mid(2), static_cast<const char*>(entry.key));
    else
      write(entry, app_events::EventSchemeKey(*group, entry, app_events::kCurrentScheme),
            static_cast<const char*>(nullptr));
  });
}

}  // namespace

void AssignRandomSounds(EventTable& table) {
  SetActiveScheme(app_events::kCurrentScheme);
  ForEachEventSound(table, [](EventEntry& event, const CString& keyPath, const char* valueName) {
    CString file = event.PickCandidate();
    RegistryKey::Create(keyPath).SetString(valueName, file);
  });
}

void SilenceSounds(const EventTable& table) {
  SetActiveScheme(app_events::kNoSoundScheme);
  ForEachEventSound(table, [](const EventEntry&, const CString& keyPath, const char* valueName) {
    RegistryKey::Create(keyPath).SetString(valueName, "");
  });
}
