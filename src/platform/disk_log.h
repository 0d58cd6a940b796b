#pragma once
// What the portable file backend does to the disk, in order, for tests that
// replay a run up to a power cut: every change of a file's bytes or length,
// every flush, and every change of a folder's names. Reads are not logged.

#include <string>
#include <vector>

namespace os_file {

struct DiskOp {
  enum Kind {
    Create,       // a new, empty file at `path`
    Write,        // `bytes` at `at`
    Truncate,     // the length set to `at`
    Flush,        // the file's bytes and length forced to the disk
    Rename,       // `path` now named `to`, replacing any file of that name
    Remove,       // `path` no longer named
    FlushFolder,  // the names in the folder of `path` forced to the disk
  };
  Kind kind;
  std::string path, to;
  long long at = 0;
  std::string bytes;
};

// Logs into `log` from now on; nullptr stops. Portable backend only.
void LogDiskOps(std::vector<DiskOp>* log);

}  // namespace os_file
