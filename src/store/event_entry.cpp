#include "store/event_entry.h"

#include <cstdlib>

namespace {

bool HasMark(std::string_view text) { return !text.empty() && (text[0] == '+' || text[0] == '-'); }

// No '|' or line break as a character, and no double-byte character cut short.
bool IsStorable(std::string_view text) {
  int length = static_cast<int>(text.size());
  return mbcs::FindChar(text.data(), length, 0, '|') < 0 && mbcs::FindChar(text.data(), length, 0, '\n') < 0 &&
         !mbcs::EndsInsideCharacter(text.data(), length);
}

}  // namespace

bool EventEntry::AppendCandidate(std::string_view candidate, bool checkDuplicate) {
  if (!IsStorable(candidate)) return false;
  if (checkDuplicate) {
    bool duplicate = false;
    ForEachCandidate([&](std::string_view stored) { duplicate = duplicate || stored.substr(1) == candidate; });
    if (duplicate) return false;
  }
  ++count;
  if (!HasMark(candidate)) files += '-';
  files += candidate;
  files += '|';
  return true;
}

CString EventEntry::GetCandidate(int n) const {
  if (n < 0 || n >= count) return CString();
  CString found;
  int index = 0;
  ForEachCandidate([&](std::string_view candidate) {
    if (index++ == n) found = candidate;
  });
  return found;
}

void EventEntry::ClearCandidates() {
  count = 0;
  files.Empty();
}

CString EventEntry::GetDisplayText() const {
  CString text;
  text.Format("%s : %d", static_cast<const char*>(label), count);
  return text;
}

// Two passes over the pool at most, three when a new cycle starts: the
// marks are counted (and reset once all are '+'), then the r-th unpicked
// candidate is taken.
CString EventEntry::PickCandidate() {
  if (count <= 0) return CString();
  if (count == 1) return files.Mid(1, files.GetLength() - 2);

  int total = 0, used = 0;
  for (int begin = 0, end; (end = CandidateEnd(begin)) >= 0; begin = end + 1) {
    ++total;
    used += files[begin] == '+';
  }
  if (total == 0) return CString();
  if (used >= total) {
    for (int begin = 0, end; (end = CandidateEnd(begin)) >= 0; begin = end + 1) files.SetAt(begin, '-');
    used = 0;
  }
  int r = std::rand() % (total - used);
  for (int begin = 0, end; (end = CandidateEnd(begin)) >= 0; begin = end + 1) {
    if (files[begin] == '+' || r-- != 0) continue;
    files.SetAt(begin, '+');
    return files.Mid(begin + 1, end - begin - 1);
  }
  return CString();  // not reached: total - used > r >= 0
}
