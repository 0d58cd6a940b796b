#include "store/pool_additions.h"

#include <string>
#include <unordered_set>

#include "platform/stored_path.h"

// One set of the pool's paths, so that a drop of thousands of files costs a
// look-up each rather than a pass over the pool each.
PoolAdditions AddPaths(EventEntry& entry, const std::vector<CString>& paths) {
  SameFileKeys keys;
  std::unordered_set<std::string> present;
  entry.ForEachCandidate([&](std::string_view candidate) { present.insert(keys.Of(candidate.substr(1))); });
  PoolAdditions additions;
  for (const CString& path : paths) {
    if (!present.insert(keys.Of(path.view())).second)
      ++additions.duplicates;
    else if (entry.AppendCandidate(("-" + path).view(), false))
      ++additions.added;
    else
      additions.unstorable.push_back(path);
  }
  return additions;
}
