#include "platform/os_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <vector>

namespace os_file {

Handle OpenExclusive(const char* path, bool create) {
  int fd = ::open(path, O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
  if (fd < 0) return kInvalid;
  // The lock keeps a second Belltide, the only other writer, away.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return kInvalid;
  }
  return fd;
}

void Close(Handle handle) { ::close(static_cast<int>(handle)); }

long Read(Handle handle, char* buffer, size_t size) {
  ssize_t got;
  do got = ::read(static_cast<int>(handle), buffer, size);
  while (got < 0 && errno == EINTR);
  return static_cast<long>(got);
}

bool WriteAll(Handle handle, const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = ::write(static_cast<int>(handle), data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool SeekToBegin(Handle handle) { return ::lseek(static_cast<int>(handle), 0, SEEK_SET) == 0; }

bool Truncate(Handle handle, long long length) {
  int fd = static_cast<int>(handle);
  return ::ftruncate(fd, length) == 0 && ::lseek(fd, length, SEEK_SET) == length;
}

long long Length(Handle handle) {
  struct stat info;
  return ::fstat(static_cast<int>(handle), &info) == 0 ? info.st_size : -1;
}

bool FlushToDisk(Handle handle) { return ::fsync(static_cast<int>(handle)) == 0; }

long long FileSize(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0 ? info.st_size : -1;
}

bool CopyOver(const char* from, const char* to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  return static_cast<bool>(out.flush());
}

CString CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  return ::getcwd(buffer.data(), buffer.size()) ? CString(buffer.data()) : CString();
}

CString FullPath(const char* name) {
  if (name[0] == '/') return CString(name);
  return CurrentDirectory() + "/" + name;
}

}  // namespace os_file
