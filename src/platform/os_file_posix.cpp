#include "platform/os_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <map>
#include <vector>

#include "platform/disk_log.h"

namespace os_file {
namespace {

int AsFd(Handle handle) { return static_cast<int>(handle); }

std::vector<DiskOp>* g_diskLog = nullptr;
std::map<int, std::string> g_heldPaths;  // the files OpenHeld opened, for the log

void Log(DiskOp::Kind kind, std::string path, long long at = 0, std::string_view bytes = {}, std::string to = {}) {
  if (g_diskLog) g_diskLog->push_back({kind, std::move(path), std::move(to), at, std::string(bytes)});
}

void LogHeld(DiskOp::Kind kind, int fd, long long at = 0, std::string_view bytes = {}) {
  if (g_diskLog) Log(kind, g_heldPaths[fd], at, bytes);
}

// A call a signal may cut short, made again until it is not.
template <class Call>
auto Retried(Call call) {
  decltype(call()) result;
  do result = call();
  while (result == -1 && errno == EINTR);
  return result;
}

bool WriteAllAt(int fd, std::string_view bytes, off_t offset) {
  const char* data = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t written = ::pwrite(fd, data, left, offset);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    left -= static_cast<size_t>(written);
    offset += written;
  }
  return true;
}

bool ReadAllFrom(int fd, std::string& bytes) {
  struct stat info;
  if (::fstat(fd, &info) != 0) return false;
  // On a 32-bit build the cast would wrap, and a part would pass for the whole.
  if (static_cast<unsigned long long>(info.st_size) > bytes.max_size()) return false;
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t got = 0;
  while (got < bytes.size()) {
    ssize_t n = ::pread(fd, &bytes[got], bytes.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return true;
}

// The folder part of `path`, for forcing a rename in it to the disk.
std::string FolderOf(const char* path) {
  std::string folder(path);
  size_t slash = folder.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
}

}  // namespace

void LogDiskOps(std::vector<DiskOp>* log) { g_diskLog = log; }

// Readers never ask for the lock: it binds writers alone, whatever `Share`.
Handle OpenHeld(const char* path, Share) {
  int fd = Retried([&] { return ::open(path, O_RDWR | O_CLOEXEC | O_CREAT | O_EXCL, 0666); });
  const bool created = fd >= 0;
  if (!created) fd = Retried([&] { return ::open(path, O_RDWR | O_CLOEXEC | O_CREAT, 0666); });
  if (fd < 0) return kInvalid;
  // The lock keeps a second Belltide, the only other writer, away.
  if (Retried([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0) {
    ::close(fd);
    return kInvalid;
  }
  g_heldPaths[fd] = path;
  if (created) Log(DiskOp::Create, path);
  return fd;
}

void Close(Handle handle) {
  g_heldPaths.erase(AsFd(handle));
  ::close(AsFd(handle));
}

long long Length(Handle handle) {
  struct stat info;
  return ::fstat(AsFd(handle), &info) == 0 ? info.st_size : -1;
}

bool ReadAll(Handle handle, std::string& bytes) { return ReadAllFrom(AsFd(handle), bytes); }

bool Rewrite(Handle handle, std::initializer_list<std::string_view> pieces) {
  int fd = AsFd(handle);
  off_t offset = 0;
  for (std::string_view piece : pieces) {
    LogHeld(DiskOp::Write, fd, offset, piece);
    if (!WriteAllAt(fd, piece, offset)) return false;
    offset += static_cast<off_t>(piece.size());
  }
  LogHeld(DiskOp::Truncate, fd, offset);
  return Retried([&] { return ::ftruncate(fd, offset); }) == 0;
}

bool WriteAt(Handle handle, long long offset, std::string_view bytes) {
  LogHeld(DiskOp::Write, AsFd(handle), offset, bytes);
  return WriteAllAt(AsFd(handle), bytes, static_cast<off_t>(offset));
}

bool Flush(Handle handle) {
  LogHeld(DiskOp::Flush, AsFd(handle));
  return Retried([&] { return ::fsync(AsFd(handle)); }) == 0;
}

bool ReadFile(const char* path, std::string& bytes, size_t most) {
  int fd = Retried([&] { return ::open(path, O_RDONLY | O_CLOEXEC); });
  if (fd < 0) return false;
  struct stat info;
  bool read =
      ::fstat(fd, &info) == 0 && static_cast<unsigned long long>(info.st_size) <= most && ReadAllFrom(fd, bytes);
  ::close(fd);
  return read;
}

Handle OpenToRead(const char* path, bool& missing) {
  int fd = Retried([&] { return ::open(path, O_RDONLY | O_CLOEXEC); });
  missing = fd < 0 && (errno == ENOENT || errno == ENOTDIR);
  return fd < 0 ? kInvalid : fd;
}

size_t ReadAt(Handle handle, long long offset, char* out, size_t count) {
  size_t got = 0;
  while (got < count) {
    ssize_t read = Retried([&] { return ::pread(AsFd(handle), out + got, count - got, offset + got); });
    if (read < 0) return 0;
    if (read == 0) break;
    got += static_cast<size_t>(read);
  }
  return got;
}

bool WriteAtomically(const char* path, const char* tmpPath, std::string_view bytes) {
  if (g_diskLog) Log(Exists(tmpPath) ? DiskOp::Truncate : DiskOp::Create, tmpPath);
  int fd = Retried([&] { return ::open(tmpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666); });
  if (fd < 0) return false;
  Log(DiskOp::Write, tmpPath, 0, bytes);
  Log(DiskOp::Flush, tmpPath);
  bool written = WriteAllAt(fd, bytes, 0) && Retried([&] { return ::fsync(fd); }) == 0;
  written = (::close(fd) == 0 || errno == EINTR) && written;  // a cut close has closed all the same
  if (!written || Retried([&] { return ::rename(tmpPath, path); }) != 0) {
    Remove(tmpPath);
    return false;
  }
  Log(DiskOp::Rename, tmpPath, 0, {}, path);
  // The rename itself reaches the disk with its folder.
  Log(DiskOp::FlushFolder, path);
  int folder = Retried([&] { return ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  if (folder >= 0) {
    Retried([&] { return ::fsync(folder); });
    ::close(folder);
  }
  return true;
}

bool Exists(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0;
}

void Remove(const char* path) {
  if (::unlink(path) == 0) Log(DiskOp::Remove, path);
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
