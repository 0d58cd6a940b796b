#pragma once
// The operating-system side of CStdioFile and of the start-up file handling.

#include <cstddef>
#include <cstdint>

#include "platform/cstring.h"

namespace os_file {

using Handle = std::intptr_t;
constexpr Handle kInvalid = -1;

// Read-write, no sharing, never truncated; created when missing if `create`.
Handle OpenExclusive(const char* path, bool create);
void Close(Handle handle);
// Bytes read into `buffer`; 0 at the end of the file, -1 on an error.
long Read(Handle handle, char* buffer, size_t size);
bool WriteAll(Handle handle, const char* data, size_t size);
bool SeekToBegin(Handle handle);
bool Truncate(Handle handle, long long length);
long long Length(Handle handle);
bool FlushToDisk(Handle handle);

// Size of the file at `path`; -1 when it does not exist.
long long FileSize(const char* path);
// Copies `from` over `to`, replacing it.
bool CopyOver(const char* from, const char* to);
CString CurrentDirectory();
// `name` made absolute against the current directory.
CString FullPath(const char* name);

}  // namespace os_file
