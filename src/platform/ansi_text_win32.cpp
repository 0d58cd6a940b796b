#include "platform/ansi_text_win32.h"

#include <windows.h>

std::wstring Widen(std::string_view text) {
  int bytes = static_cast<int>(text.size());
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, &wide[0], length);
  return wide;
}

CString Narrow(const std::wstring& text) {
  int wide = static_cast<int>(text.size());
  int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return CString();
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, &ansi[0], length, nullptr, nullptr);
  return CString(std::move(ansi));
}
