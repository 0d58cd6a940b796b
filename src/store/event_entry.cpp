#include "store/event_entry.h"

#include <cstdlib>

#include "platform/mbcs.h"

namespace {

bool HasMark(const CString& text) { return !text.IsEmpty() && (text[0] == '+' || text[0] == '-'); }

bool IsStorable(const CString& text) {
  return text.Find('|') < 0 && text.Find('\n') < 0 && !mbcs::EndsInsideCharacter(text, text.GetLength());
}

// Start offsets of the candidates in `files`.
std::vector<int> CandidateStarts(const CString& files) {
  std::vector<int> starts;
  for (int begin = 0, end; begin < files.GetLength(); begin = end + 1) {
    end = files.Find('|', begin + 1);
    if (end < 0) break;
    starts.push_back(begin);
  }
  return starts;
}

}  // namespace

bool EventEntry::AppendCandidate(const CString& candidate, bool checkDuplicate) {
  if (!IsStorable(candidate)) return false;
  if (checkDuplicate) {
    bool duplicate = false;
    ForEachCandidate([&](const CString& stored) { duplicate = duplicate || stored.Mid(1) == candidate; });
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
  ForEachCandidate([&](const CString& candidate) {
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

CString EventEntry::PickCandidate() {
  if (count <= 0) return CString();
  if (count == 1) return files.Mid(1, files.GetLength() - 2);

  std::vector<int> starts = CandidateStarts(files);
  int total = static_cast<int>(starts.size());
  if (total == 0) return CString();
  int used = 0;
  for (int start : starts) used += files[start] == '+';
  if (used >= total) {
    for (int start : starts) files.SetAt(start, '-');
    used = 0;
  }
  int r = std::rand() % (total - used);
  for (int start : starts) {
    if (files[start] == '+') continue;
    if (r-- == 0) {
      files.SetAt(start, '+');
      int end = files.Find('|', start + 1);
      return files.Mid(start + 1, end - start - 1);
    }
  }
  return CString();  // not reached: total - used > r >= 0
}
