#include "schemes/notification_sounds.h"

#include <string>
#include <unordered_set>

#include "platform/mbcs.h"

namespace {

constexpr char kNotificationPrefix[] = "Notification.";

}  // namespace

bool IsNotificationEvent(const EventEntry& event) {
  const int length = static_cast<int>(sizeof kNotificationPrefix - 1);
  return !event.IsGroup() && event.key.GetLength() >= length &&
         mbcs::EqualNoCase(event.key, length, kNotificationPrefix, length);
}

std::vector<CString> NotificationSoundFiles(const EventTable& table) {
  std::vector<CString> files;
  std::unordered_set<std::string> seen;
  for (const EventEntry& event : table) {
    if (!IsNotificationEvent(event)) continue;
    event.ForEachCandidate([&](std::string_view candidate) {
      std::string_view path = candidate.substr(1);
      if (!path.empty() && seen.insert(mbcs::LowerAscii(path.data(), static_cast<int>(path.size()))).second)
        files.emplace_back(path);
    });
  }
  return files;
}
