#include "store/event_entry.h"

#include <cstdlib>
#include <string>

namespace {

bool HasMark(std::string_view text) { return !text.empty() && (text[0] == '+' || text[0] == '-'); }

// No '|' or line break as a character, and no double-byte character cut
// short; most paths are plain ASCII, told in one pass.
bool IsStorable(std::string_view text) {
  int length = static_cast<int>(text.size());
  if (mbcs::IsAsciiWithout(text.data(), length, '|', '\n')) return true;
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

bool EventEntry::RemoveCandidate(int n) {
  if (n < 0 || n >= count) return false;
  std::string kept;
  kept.reserve(static_cast<size_t>(files.GetLength()));
  int index = 0;
  ForEachCandidate([&](std::string_view candidate) {
    if (index++ != n) kept.append(candidate).append(1, '|');
  });
  files = CString(std::move(kept));
  --count;
  return true;
}

CString EventEntry::GetDisplayText() const {
  CString text;
  text.Format("%s : %d", static_cast<const char*>(label), count);
  return text;
}

namespace {

// The path of the candidate whose mark and closing '|' are at these offsets.
std::string_view PathBetween(const CString& files, int mark, int end) {
  return std::string_view(static_cast<const char*>(files) + mark + 1, static_cast<size_t>(end - mark - 1));
}

// The choice over the candidates that `forEach` visits in order, each as
// the offset of its mark and of its closing '|': their marks are counted
// (all set back to '-' once all are '+'), then the r-th unpicked one is
// taken. A visit returns false to end the walk.
template <class ForEach>
Pick Choose(CString& files, ForEach forEach) {
  int total = 0, used = 0;
  forEach([&](int mark, int) {
    ++total;
    used += files[mark] == '+';
    return true;
  });
  Pick pick;
  if (total == 0) return pick;
  pick.newCycle = used >= total;
  if (pick.newCycle) used = 0;
  int r = std::rand() % (total - used), index = 0;
  forEach([&](int mark, int end) {
    if (pick.newCycle) files.SetAt(mark, '-');
    if (files[mark] != '+' && r-- == 0) {
      files.SetAt(mark, '+');
      pick.index = index;
      pick.path = PathBetween(files, mark, end);
      if (!pick.newCycle) return false;
    }
    ++index;
    return true;
  });
  return pick;
}

}  // namespace

Pick EventEntry::PickCandidate() {
  Pick pick;
  if (count == 1 && files.GetLength() >= 2) pick.path = PathBetween(files, 0, files.GetLength() - 1);
  if (count <= 1) return pick;
  return Choose(files, [this](auto visit) {
    for (int begin = 0, end; (end = CandidateEnd(begin)) >= 0 && visit(begin, end); begin = end + 1) continue;
  });
}

Pick EventEntry::PickCandidate(const std::uint32_t* marks, int n) {
  Pick pick;
  if (n == 1) pick.path = PathBetween(files, static_cast<int>(marks[0]), static_cast<int>(marks[1]) - 1);
  if (n <= 1) return pick;
  return Choose(files, [marks, n](auto visit) {
    for (int i = 0; i < n && visit(static_cast<int>(marks[i]), static_cast<int>(marks[i + 1]) - 1); ++i) continue;
  });
}
