#pragma once
// The folders a power cut may leave behind a logged run (os_file::DiskOp),
// as a crash-state checker enumerates them. The rules assumed, as NTFS
// behaves:
// - A file's bytes and length are durable up to its last flush. Each
//   512-byte sector written since holds any version it had since then (the
//   flushed one, or what any later write made of it: absent, present, torn
//   at sector boundaries, in any order), and the length is any it had since.
//   A sector never written reads as zeros, as past a file's valid data.
// - Names (create, rename, remove) change through the volume's log, which is
//   replayed in order: a power cut keeps a prefix of those changes. A flush
//   of a file commits the log up to the file's own creation or rename; a
//   folder's flush (MOVEFILE_WRITE_THROUGH on Windows) commits all of it.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/disk_log.h"

// File names (without folder) and their bytes.
using Folder = std::map<std::string, std::string>;

// Calls visit(folder, point) for each distinct folder a cut may leave after
// the first `point` operations of `log`, for every point and every prefix
// of the names' changes the volume may keep. Where those choices of one
// prefix number at most `limit`, all of them; beyond, the oldest, the
// newest, every prefix-torn one (each write since a file's flush cut at
// each of its sectors, the writes before it whole and those after it
// absent, at the length before or after it, every other file at its oldest
// or newest), and `limit` more drawn with `seed`. `initial` was durable
// before the log. Returns how many folders were visited.
size_t ForEachPowerCut(const Folder& initial, const std::vector<os_file::DiskOp>& log, size_t limit, unsigned seed,
                       const std::function<void(const Folder&, size_t point)>& visit);
