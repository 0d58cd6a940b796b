#include "platform/os_file.h"

#include <windows.h>

#include <vector>

namespace os_file {
namespace {

HANDLE AsHandle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

Handle OpenExclusive(const char* path, bool create) {
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */, nullptr,
                            create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? kInvalid : reinterpret_cast<Handle>(file);
}

void Close(Handle handle) { CloseHandle(AsHandle(handle)); }

long Read(Handle handle, char* buffer, size_t size) {
  DWORD got = 0;
  if (!ReadFile(AsHandle(handle), buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
  return static_cast<long>(got);
}

bool WriteAll(Handle handle, const char* data, size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(AsHandle(handle), data, static_cast<DWORD>(size), &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

bool SeekToBegin(Handle handle) {
  return SetFilePointer(AsHandle(handle), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

bool Truncate(Handle handle, long long length) {
  LARGE_INTEGER position;
  position.QuadPart = length;
  return SetFilePointerEx(AsHandle(handle), position, nullptr, FILE_BEGIN) && SetEndOfFile(AsHandle(handle));
}

long long Length(Handle handle) {
  LARGE_INTEGER size;
  return GetFileSizeEx(AsHandle(handle), &size) ? size.QuadPart : -1;
}

bool FlushToDisk(Handle handle) { return FlushFileBuffers(AsHandle(handle)) != FALSE; }

long long FileSize(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CopyOver(const char* from, const char* to) { return CopyFileA(from, to, FALSE) != FALSE; }

CString CurrentDirectory() {
  DWORD length = GetCurrentDirectoryA(0, nullptr);
  std::vector<char> buffer(length + 1);
  DWORD got = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  return got > 0 && got < buffer.size() ? CString(buffer.data(), static_cast<int>(got)) : CString();
}

CString FullPath(const char* name) {
  DWORD length = GetFullPathNameA(name, 0, nullptr, nullptr);
  std::vector<char> buffer(length + 1);
  DWORD got = GetFullPathNameA(name, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  return got > 0 && got < buffer.size() ? CString(buffer.data(), static_cast<int>(got)) : CString(name);
}

}  // namespace os_file
