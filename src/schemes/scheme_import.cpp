#include "schemes/scheme_import.h"

#include "platform/mbcs.h"
#include "platform/registry.h"

namespace {

constexpr int kDisplayWidth = 100;
const char kNamesKey[] = "AppEvents\\Schemes\\Names";

// The longest head of `text` of at most `limit` bytes that ends on a
// character boundary.
CString HeadOfAtMost(const CString& text, int limit) {
  int end = 0;
  while (end < text.GetLength()) {
    int next = end + (mbcs::IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1);
    if (next > limit) break;
    end = next;
  }
  return text.Left(end);
}

}  // namespace

std::vector<SchemeName> ListSchemes() {
  std::vector<SchemeName> schemes;
  RegistryKey names = RegistryKey::OpenForRead(kNamesKey);
  CString keyName;
  for (int i = 0; names.EnumSubKey(i, keyName); ++i) {
    if (keyName.EqualsNoCase(".None")) continue;
    CString displayName;
    if (RegistryKey::OpenForRead(CString(kNamesKey) + "\\" + keyName).QueryString(nullptr, displayName) ==
        RegistryKey::ReadResult::TooLong)
      continue;
    schemes.push_back({displayName, keyName});
  }
  return schemes;
}

void ImportScheme(EventTable& table, const CString& schemeKey) {
  const EventEntry* application = nullptr;
  for (EventEntry& entry : table) {
    if (entry.IsGroup()) {
      application = entry.IsRegistryGroup() ? nullptr : &entry;
      continue;
    }
    if (!application) continue;
    CString file;
    CString path = "AppEvents\\Schemes\\Apps" + application->key + "\\" + entry.key + "\\" + schemeKey;
    if (RegistryKey::OpenForRead(path).QueryString(nullptr, file) != RegistryKey::ReadResult::Ok) continue;
    if (file.IsEmpty() || file.Find('\r') >= 0) continue;
    entry.AppendCandidate(file.view(), true);  // refuses '|', '\n' and duplicates
  }
}

CString SchemeItemText(const SchemeName& scheme) {
  CString text;
  text.Format("%-*s%s", kDisplayWidth, static_cast<const char*>(HeadOfAtMost(scheme.displayName, kDisplayWidth)),
              static_cast<const char*>(scheme.keyName));
  return text;
}

CString SchemeKeyOfItem(const CString& itemText) { return itemText.Mid(kDisplayWidth); }
