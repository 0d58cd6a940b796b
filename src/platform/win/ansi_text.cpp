#include "platform/win/ansi_text.h"

#include <windows.h>

std::wstring WidenAnsi(const CString& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), &wide[0], length);
  return wide;
}

CString NarrowToAnsi(const std::wstring& text) {
  int wide = static_cast<int>(text.size());
  int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, &ansi[0], length, nullptr, nullptr);
  return CString(std::move(ansi));
}
