#include "platform/os_file.h"

#include <windows.h>

#include <vector>

namespace os_file {
namespace {

HANDLE AsHandle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

bool WriteAll(HANDLE file, std::string_view bytes) {
  const char* data = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    left -= written;
  }
  return true;
}

bool ReadAllFrom(HANDLE file, std::string& bytes) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size) || SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return false;
  // On a 32-bit build the cast would wrap, and a part would pass for the whole.
  if (static_cast<unsigned long long>(size.QuadPart) > bytes.max_size()) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t got = 0;
  while (got < bytes.size()) {
    DWORD read = 0;
    DWORD chunk = bytes.size() - got > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size() - got);
    if (!::ReadFile(file, &bytes[got], chunk, &read, nullptr)) return false;
    if (read == 0) break;
    got += read;
  }
  bytes.resize(got);
  return true;
}

}  // namespace

Handle OpenHeld(const char* path, Share share) {
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share == Share::Reading ? FILE_SHARE_READ : 0, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? kInvalid : reinterpret_cast<Handle>(file);
}

void Close(Handle handle) { CloseHandle(AsHandle(handle)); }

long long Length(Handle handle) {
  LARGE_INTEGER size;
  return GetFileSizeEx(AsHandle(handle), &size) ? size.QuadPart : -1;
}

bool ReadAll(Handle handle, std::string& bytes) { return ReadAllFrom(AsHandle(handle), bytes); }

bool Rewrite(Handle handle, std::initializer_list<std::string_view> pieces) {
  HANDLE file = AsHandle(handle);
  bool written = SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
  for (std::string_view piece : pieces) written = written && WriteAll(file, piece);
  return written && SetEndOfFile(file);
}

bool WriteAt(Handle handle, long long offset, std::string_view bytes) {
  LARGE_INTEGER at;
  at.QuadPart = offset;
  return SetFilePointerEx(AsHandle(handle), at, nullptr, FILE_BEGIN) && WriteAll(AsHandle(handle), bytes);
}

bool Flush(Handle handle) { return FlushFileBuffers(AsHandle(handle)) != FALSE; }

bool ReadFile(const char* path, std::string& bytes, size_t most) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool read =
      GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) <= most && ReadAllFrom(file, bytes);
  CloseHandle(file);
  return read;
}

Handle OpenToRead(const char* path, bool& missing) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD error = GetLastError();
  missing = file == INVALID_HANDLE_VALUE &&
            (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_NETPATH ||
             error == ERROR_BAD_NET_NAME || error == ERROR_INVALID_NAME || error == ERROR_INVALID_DRIVE);
  return file == INVALID_HANDLE_VALUE ? kInvalid : reinterpret_cast<Handle>(file);
}

size_t ReadAt(Handle handle, long long offset, char* out, size_t count) {
  OVERLAPPED at = {};  // a position of this read alone: the handle keeps none
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
  DWORD read = 0;
  const DWORD most = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
  if (!::ReadFile(AsHandle(handle), out, most, &read, &at)) return 0;
  return read;
}

bool WriteAtomically(const char* path, const char* tmpPath, std::string_view bytes) {
  HANDLE file = CreateFileA(tmpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  written = CloseHandle(file) && written;
  if (!written || !MoveFileExA(tmpPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(tmpPath);
    return false;
  }
  return true;
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void Remove(const char* path) { DeleteFileA(path); }

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
