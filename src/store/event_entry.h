#pragma once
// One record of the event table: an application group or a sound event with
// its pool of candidate wave files.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/cstring.h"
#include "platform/mbcs.h"

// What PickCandidate did.
struct Pick {
  std::string_view path;  // empty without candidates; a view into `files`, valid until the pool changes
  int index = -1;         // the candidate whose mark turned '+'; -1 when no mark changed
  bool newCycle = false;  // every other mark turned '-' first
};

struct EventEntry {
  CString label;  // display name
  CString key;    // event key name; for a group "\app" or "\\registry\path"
  int count = 0;  // candidates in `files`; -1 marks a group
  // Each candidate: a mark ('-' not yet picked in this cycle, '+' picked),
  // the path, and a closing '|'.
  CString files;

  bool IsGroup() const { return count == -1; }
  // A group whose events are values of a registry key rather than event keys.
  bool IsRegistryGroup() const { return IsGroup() && key.GetLength() > 1 && key[1] == '\\'; }

  // Appends `candidate` (a path, or a mark and a path; a bare path gets '-').
  // False, with nothing changed, when `checkDuplicate` finds the same path
  // (exact bytes) in the pool, or when the text could not be stored intact:
  // a '|' or a line break inside it, or a double-byte character cut short.
  bool AppendCandidate(std::string_view candidate, bool checkDuplicate);

  // The n-th candidate with its mark; empty when n is out of range.
  CString GetCandidate(int n) const;

  // Calls visit(candidate) for each candidate, mark included, in order: a
  // view into `files`, valid until the pool changes.
  template <class Visit>
  void ForEachCandidate(Visit visit) const {
    for (int begin = 0, end; (end = CandidateEnd(begin)) >= 0; begin = end + 1)
      visit(std::string_view(static_cast<const char*>(files) + begin, static_cast<size_t>(end - begin)));
  }

  void ClearCandidates();
  // Removes the n-th candidate; false, with nothing changed, when n is out
  // of range.
  bool RemoveCandidate(int n);

  CString GetDisplayText() const;  // "label : count"

  // A random candidate among those not yet picked in this cycle, marked
  // '+', starting a new cycle once every candidate has been picked; a pool
  // of one keeps its mark. Draws from rand().
  Pick PickCandidate();
  // The same for a pool whose `n` marks are known to sit at files[marks[i]],
  // each candidate ending one byte before the next mark, the last one byte
  // before marks[n]: nothing is scanned for.
  Pick PickCandidate(const std::uint32_t* marks, int n);

 private:
  // The closing '|' of the candidate that starts at `begin`; -1 past the last.
  int CandidateEnd(int begin) const {
    return begin < files.GetLength() ? mbcs::FindChar(files, files.GetLength(), begin + 1, '|') : -1;
  }
};

using EventTable = std::vector<EventEntry>;

// Walks the table in order and tells each entry the group it belongs to: a
// group belongs to itself, an event to the group before it (nullptr for an
// event before the first group).
template <class Table, class Visit>
void ForEachEntry(Table& table, Visit visit) {
  const EventEntry* group = nullptr;
  for (auto& entry : table) {
    if (entry.IsGroup()) group = &entry;
    visit(entry, group);
  }
}
