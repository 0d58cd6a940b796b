#include "store/pool_additions.h"

#include <string>
#include <unordered_set>

#include "platform/mbcs.h"

namespace {

std::string Key(std::string_view path) { return mbcs::LowerAscii(path.data(), static_cast<int>(path.size())); }

}  // namespace

// One set of the pool's paths, so that a drop of thousands of files costs a
// look-up each rather than a pass over the pool each.
PoolAdditions AddPaths(EventEntry& entry, const std::vector<CString>& paths) {
  std::unordered_set<std::string> present;
  entry.ForEachCandidate([&](std::string_view candidate) { present.insert(Key(candidate.substr(1))); });
  PoolAdditions additions;
  for (const CString& path : paths) {
    if (!present.insert(Key(path.view())).second)
      ++additions.duplicates;
    else if (entry.AppendCandidate(("-" + path).view(), false))
      ++additions.added;
    else
      ++additions.unstorable;
  }
  return additions;
}
