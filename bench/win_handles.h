#pragma once
// Owners for the Windows handles the benchmark opens: each closes its handle
// when it goes out of scope.

#include <windows.h>

#include "platform/win/unique_handle.h"

struct FileTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle file) { CloseHandle(file); }
};
using UniqueFile = UniqueHandle<FileTraits>;

struct KeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle key) { RegCloseKey(key); }
};
using UniqueKey = UniqueHandle<KeyTraits>;
