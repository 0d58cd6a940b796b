#include <windows.h>

#include <string>

#include "cp932.h"

std::string Cp932(const char* utf8) {
  int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), wideLength);
  int length = WideCharToMultiByte(932, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(932, 0, wide.c_str(), -1, bytes.data(), length, nullptr, nullptr);
  bytes.resize(static_cast<size_t>(length) - 1);
  return bytes;
}
