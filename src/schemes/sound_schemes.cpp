#include "schemes/sound_schemes.h"

#include "platform/registry.h"

namespace {

const char kSchemesKey[] = "AppEvents\\Schemes";

void SetActiveScheme(const char* scheme) { RegistryKey::OpenForWrite(kSchemesKey).SetString(nullptr, scheme); }

// Calls write(event, keyPath, valueName) for every event that follows a
// group; valueName is null for an event's own .Current key.
template <class Table, class Write>
void ForEachEventSound(Table& table, Write write) {
  const EventEntry* group = nullptr;
  for (auto& entry : table) {
    if (entry.IsGroup()) {
      group = &entry;
    } else if (!group) {
      continue;
    } else if (group->IsRegistryGroup()) {
      write(entry, group->key.Mid(2), static_cast<const char*>(entry.key));
    } else {
      write(entry, "AppEvents\\Schemes\\Apps" + group->key + "\\" + entry.key + "\\.Current",
            static_cast<const char*>(nullptr));
    }
  }
}

}  // namespace

void AssignRandomSounds(EventTable& table) {
  SetActiveScheme(".Current");
  ForEachEventSound(table, [](EventEntry& event, const CString& keyPath, const char* valueName) {
    CString file = event.PickCandidate();
    RegistryKey::Create(keyPath).SetString(valueName, file);
  });
}

void SilenceSounds(const EventTable& table) {
  SetActiveScheme(".None");
  ForEachEventSound(table, [](const EventEntry&, const CString& keyPath, const char* valueName) {
    RegistryKey::Create(keyPath).SetString(valueName, "");
  });
}
