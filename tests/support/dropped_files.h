#pragma once
// A drop of files as the shell hands it to a window with WM_DROPFILES: the
// names in the ANSI code page, each ended by a NUL, the list by one more.
// The window's DragFinish frees it.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

inline HGLOBAL DropOf(const std::vector<std::string>& names) {
  std::string packed;
  for (const std::string& name : names) packed += name + '\0';
  packed += '\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + packed.size());
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  packed.copy(reinterpret_cast<char*>(drop + 1), packed.size());
  GlobalUnlock(memory);
  return memory;
}
