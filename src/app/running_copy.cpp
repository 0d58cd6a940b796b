#include "app/running_copy.h"

#include <windows.h>

#include <vector>

#include "platform/win/unique_handle.h"

namespace {

constexpr UINT kAnswerTimeout = 5000;  // a copy busy longer than this does not count as running
constexpr DWORD kExitTimeout = 10000;

BOOL CALLBACK CollectResidentWindow(HWND window, LPARAM windows) {
  if (GetPropW(window, kResidentWindowProperty)) reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

RemoteAnswer HandToRunningCopy(RemoteCommand command, const std::wstring& folder) {
  std::vector<HWND> windows;
  EnumWindows(CollectResidentWindow, reinterpret_cast<LPARAM>(&windows));
  std::vector<wchar_t> buffer;
  COPYDATASTRUCT data = EncodeRemoteCommand(command, folder, buffer);
  for (HWND window : windows) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    AllowSetForegroundWindow(processId);  // for the settings dialog it may bring up
    UniqueKernelObject process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    DWORD_PTR answer = kNotAddressed;
    if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerTimeout,
                             &answer) ||
        answer == kNotAddressed)
      continue;
    if (command == RemoteCommand::Exit && answer == kDone && process) WaitForSingleObject(process.get(), kExitTimeout);
    return answer == kDone ? kDone : kRefused;
  }
  return kNotAddressed;
}
