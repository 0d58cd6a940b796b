#include "settings/notification_access.h"

#include "platform/ansi_text_win32.h"
#include "platform/os_file.h"
#include "platform/win/app_package_read.h"
#include "platform/win/resources.h"
#include "platform/win/system_error.h"
#include "res/resource.h"
#include "schemes/notification_sounds.h"
#include "settings/file_list_message.h"

std::vector<RefusedRead> LetNotificationsRead(const EventTable& table, ReadGrant grant) {
  std::vector<RefusedRead> refused;
  for (const CString& path : NotificationSoundFiles(table)) {
    if (!os_file::Exists(path)) continue;
    const DWORD error = grant(path);
    if (error != ERROR_SUCCESS) refused.push_back({path, error});
  }
  return refused;
}

void TellRefusedReads(const std::vector<RefusedRead>& refused) {
  if (refused.empty()) return;
  std::vector<std::wstring> lines;
  for (const RefusedRead& file : refused)
    lines.push_back(Widen(file.path.view()) + L": " +
                    (file.error == kAppPackagesReadDenied ? Widen(LoadResString(IDS_REASON_APPS_DENIED).view())
                                                          : SystemErrorText(file.error)));
  TellFiles(IDS_GRANTS_REFUSED, lines);
}
