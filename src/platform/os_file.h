#pragma once
// The operating-system side of CStdioFile and of the side files that keep
// the settings whole.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/cstring.h"

namespace os_file {

using Handle = std::intptr_t;
constexpr Handle kInvalid = -1;

// What a file opened by OpenHeld lets other handles do meanwhile.
enum class Share { Nothing, Reading };
// Read-write, never truncated, created when missing.
Handle OpenHeld(const char* path, Share share);
void Close(Handle handle);
long long Length(Handle handle);
// The whole content, read from the start in one pass; false on an error.
bool ReadAll(Handle handle, std::string& bytes);
// Writes the pieces, one after the other, over the content from the start
// and cuts the file there. A kill part-way leaves a mix: callers journal.
bool Rewrite(Handle handle, std::initializer_list<std::string_view> pieces);
// Writes `bytes` over the content at `offset`.
bool WriteAt(Handle handle, long long offset, std::string_view bytes);
// Forces what was written to the disk.
bool Flush(Handle handle);

// The whole content of the file at `path`; false when it cannot be read, or
// when it holds more than `most` bytes (then nothing is read).
bool ReadFile(const char* path, std::string& bytes, size_t most = SIZE_MAX);
// A look at a file others may hold open: reading only, sharing everything.
// kInvalid when it cannot be opened; then `missing` tells whether it is not
// there at all (no such file or folder) rather than refused.
Handle OpenToRead(const char* path, bool& missing);
// Up to `count` bytes from `offset` into `out`: the number read, short at the
// end of the file, 0 on an error.
size_t ReadAt(Handle handle, long long offset, char* out, size_t count);
// `path` ends up holding either `bytes` or what it held before, never a
// part: they go to `tmpPath`, are forced to the disk, and the rename over
// `path` follows.
bool WriteAtomically(const char* path, const char* tmpPath, std::string_view bytes);
bool Exists(const char* path);
void Remove(const char* path);

CString CurrentDirectory();
// `name` made absolute against the current directory.
CString FullPath(const char* name);

}  // namespace os_file
