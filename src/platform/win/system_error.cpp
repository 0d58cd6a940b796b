#include "platform/win/system_error.h"

#include "platform/win/unique_handle.h"

std::wstring SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  UniqueLocal owned(text);
  std::wstring reason = text ? text : L"";
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) reason.pop_back();
  if (reason.empty()) {
    wchar_t hex[16];
    wsprintfW(hex, L"0x%08lX", error);
    reason = hex;
  }
  return reason;
}
