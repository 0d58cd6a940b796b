#include "schemes/scheme_import.h"

#include "platform/mbcs.h"
#include "platform/registry.h"
#include "store/app_events.h"

namespace {

constexpr int kDisplayWidth = 100;

}  // namespace

std::vector<SchemeName> ListSchemes() {
  std::vector<SchemeName> schemes;
  RegistryKey names = RegistryKey::OpenForRead(app_events::kNamesKey);
  CString keyName;
  for (int i = 0; names.EnumSubKey(i, keyName); ++i) {
    if (keyName.EqualsNoCase(app_events::kNoSoundScheme)) continue;
    CString displayName;
    if (RegistryKey::OpenForRead(CString(app_events::kNamesKey) + "\\" + keyName).QueryString(nullptr, displayName) ==
        RegistryKey::ReadResult::TooLong)
      continue;
    schemes.push_back({displayName, keyName});
  }
  return schemes;
}

void ImportScheme(EventTable& table, const CString& schemeKey) {
  ForEachEntry(table, [&](EventEntry& entry, const EventEntry* group) {
    if (entry.IsGroup() || !group || group->IsRegistryGroup()) return;
    CString file;
    CString path = app_events::EventSchemeKey(*group, entry, schemeKey);
    if (RegistryKey::OpenForRead(path).QueryPath(file) != RegistryKey::ReadResult::Ok) return;
    if (file.IsEmpty() || file.Find('\r') >= 0) return;
    entry.AppendCandidate(file.view(), true);  // refuses '|', '\n' and duplicates
  });
}

CString SchemeItemText(const SchemeName& scheme) {
  CString text;
  const CString& name = scheme.displayName;
  CString head = name.Left(mbcs::BoundaryAtOrBefore(name, name.GetLength(), kDisplayWidth));
  text.Format("%-*s%s", kDisplayWidth, static_cast<const char*>(head), static_cast<const char*>(scheme.keyName));
  return text;
}

CString SchemeKeyOfItem(const CString& itemText) { return itemText.Mid(kDisplayWidth); }

CString SchemeNameOfItem(const CString& itemText) { return itemText.Left(kDisplayWidth); }
