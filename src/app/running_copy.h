#pragma once
// The Belltide already running from a folder, reached from a second start.

#include <string>

#include "shell/remote_command.h"

// Hands `command` to the copy that runs from `folder` and returns its
// answer; kNotAddressed when no copy of that folder answers within a few
// seconds. After /exit it waits a little for that copy to end, so that its
// files are complete when this returns.
RemoteAnswer HandToRunningCopy(RemoteCommand command, const std::wstring& folder);
