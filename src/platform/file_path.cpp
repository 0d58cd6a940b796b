#include "platform/file_path.h"

#include "platform/mbcs.h"

CString SiblingPath(const CString& path, const char* name) {
  int folderEnd = 0;
  for (int i = 0; i < path.GetLength(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (mbcs::IsLeadByte(c))
      ++i;
    else if (c == '\\' || c == '/')
      folderEnd = i + 1;
  }
  return path.Left(folderEnd) + name;
}
