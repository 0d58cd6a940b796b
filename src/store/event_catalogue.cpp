#include "platform/registry.h"
#include "store/app_events.h"
#include "store/settings_file.h"

namespace {

bool HasLineBreak(const CString& text) { return text.Find('\n') >= 0 || text.Find('\r') >= 0; }

// The default value of `key` when it is a usable label, else the key name:
// every line of the catalogue must be non-empty. A label too long for the
// 128-byte buffer is replaced rather than cut.
CString LabelOr(const RegistryKey& key, const CString& keyName) {
  CString label;
  if (key.QueryString(nullptr, label) != RegistryKey::ReadResult::Ok || label.IsEmpty()) return keyName;
  return label;
}

}  // namespace

// Keys whose name or label holds a line break would break the block
// structure of the file, so they are left out (an application with its
// events).
CString SettingsFile::BuildEventCatalogue() const {
  CString catalogue("\n");
  RegistryKey apps = RegistryKey::OpenForRead(app_events::kAppsKey);
  CString appName;
  for (int a = 0; apps.EnumSubKey(a, appName); ++a) {
    RegistryKey app = RegistryKey::OpenForRead(CString(app_events::kAppsKey) + "\\" + appName);
    CString appLabel = LabelOr(app, appName);
    if (HasLineBreak(appName) || HasLineBreak(appLabel)) continue;
    catalogue += "\\" + appName + "\n" + appLabel + "\n\n";

    CString eventName;
    for (int e = 0; app.EnumSubKey(e, eventName); ++e) {
      RegistryKey labelKey = RegistryKey::OpenForRead(CString(app_events::kEventLabelsKey) + "\\" + eventName);
      CString eventLabel = LabelOr(labelKey, eventName);
      if (HasLineBreak(eventName) || HasLineBreak(eventLabel)) continue;
      catalogue += eventName + "\n" + eventLabel + "\n\n";
    }
  }
  return catalogue;
}
