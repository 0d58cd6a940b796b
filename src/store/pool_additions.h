#pragma once
// Paths added to a pool by the user, any number at once: each becomes a
// candidate marked '-', unless the pool holds the same file already: by the
// same path whatever its mark and the case of its ASCII letters, or by its
// short path for its long one.

#include <vector>

#include "platform/cstring.h"
#include "store/event_entry.h"

struct PoolAdditions {
  int added = 0;
  int duplicates = 0;               // already in the pool, or twice among the paths
  std::vector<CString> unstorable;  // text that cannot be a candidate
};

PoolAdditions AddPaths(EventEntry& entry, const std::vector<CString>& paths);
