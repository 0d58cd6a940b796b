#pragma once
// The candidates a toast notification may play. Windows 10 and 11 play the
// sounds of the "Notification." events (Notification.Default, .IM, .Mail,
// .Reminder, .SMS, .Looping.*) from an app container, so their files need
// a permission that other sounds do not.

#include <vector>

#include "platform/cstring.h"
#include "store/event_entry.h"

// Whether `event` is one of them: its key begins with "Notification.", in
// any letter case, whatever its application group.
bool IsNotificationEvent(const EventEntry& event);

// The paths of every candidate of those events, without marks, each once.
std::vector<CString> NotificationSoundFiles(const EventTable& table);
