#pragma once
// The current user's sound-event registry tree, as Belltide reads and
// writes it: the one place that spells its key paths and scheme names.

#include <string>

#include "platform/cstring.h"
#include "store/event_entry.h"

namespace app_events {

constexpr char kSchemesKey[] = "AppEvents\\Schemes";          // default value: the active scheme
constexpr char kAppsKey[] = "AppEvents\\Schemes\\Apps";       // one key per application
constexpr char kNamesKey[] = "AppEvents\\Schemes\\Names";     // one key per scheme
constexpr char kEventLabelsKey[] = "AppEvents\\EventLabels";  // one key per event, its label
constexpr char kCurrentScheme[] = ".Current";  // the sounds in force; also the import's own pseudo scheme
constexpr char kNoSoundScheme[] = ".None";

// The key that holds the file `event` of application group `group` plays
// in `scheme`: AppEvents\Schemes\Apps\<app>\<event>\<scheme>, written into
// `path`, whose memory serves the next key as well.
inline void EventSchemeKey(const EventEntry& group, const EventEntry& event, const char* scheme, std::string& path) {
  path.assign(kAppsKey).append(group.key.view()).append("\\").append(event.key.view()).append("\\").append(scheme);
}
inline CString EventSchemeKey(const EventEntry& group, const EventEntry& event, const char* scheme) {
  std::string path;
  EventSchemeKey(group, event, scheme, path);
  return CString(std::move(path));
}

}  // namespace app_events
