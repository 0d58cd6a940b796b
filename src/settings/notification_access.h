#pragma once
// Notification sounds that Windows can read: every candidate file of the
// "Notification." events gets read access for app containers where it has
// none (platform/win/app_package_read.h). At start this is done silently;
// the settings dialog tells what was refused.

#include <windows.h>

#include <vector>

#include "platform/cstring.h"
#include "store/event_entry.h"

// Lets app containers read the file at a path: ERROR_SUCCESS or the error.
using ReadGrant = DWORD (*)(const char* path);

struct RefusedRead {
  CString path;
  DWORD error;
};

// Grants each file of those events that is there; files that are not are
// passed over (the list marks them). The files that refused, in table order.
std::vector<RefusedRead> LetNotificationsRead(const EventTable& table, ReadGrant grant);

// One message naming the refused files and why; nothing when there are none.
void TellRefusedReads(const std::vector<RefusedRead>& refused);
