#pragma once
// The current user's sound-event registry tree, as Belltide reads and
// writes it: the one place that spells its key paths and scheme names.

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
// in `scheme`: AppEvents\Schemes\Apps\<app>\<event>\<scheme>.
inline CString EventSchemeKey(const EventEntry& group, const EventEntry& event, const char* scheme) {
  return CString(kAppsKey) + group.key + "\\" + event.key + "\\" + scheme;
}

}  // namespace app_events
