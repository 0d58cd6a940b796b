#include "scratch_folder_win.h"

#include <windows.h>

#include <stdexcept>

#include "win_handles.h"

namespace {

std::string TempFolder() {
  char path[MAX_PATH] = {};
  DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length >= sizeof path) throw std::runtime_error("no temp folder");
  std::string folder(path, length);
  if (folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& name, const ScratchFolder* parent)
    : m_path((parent ? parent->path() : TempFolder()) + "\\" + name) {
  if (!CreateDirectoryA(m_path.c_str(), nullptr)) throw std::runtime_error("cannot create the folder " + m_path);
}

ScratchFolder::~ScratchFolder() {
  WIN32_FIND_DATAA found;
  {
    UniqueFind find(FindFirstFileA(File("*").c_str(), &found));
    if (find) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(File(found.cFileName).c_str());
      } while (FindNextFileA(find.get(), &found));
    }
  }
  RemoveDirectoryA(m_path.c_str());
}
