#include "store/save_journal.h"

#include <algorithm>

#include "store/settings_format.h"

// The head, in little-endian 64-bit words: a mark whose NUL no settings
// file starts with, the state, the new length, the new content's digest,
// the old length, and the sum of the old content past the new length in
// the chunk that holds the new end. The tail: one sum per chunk of the old
// content.
namespace {

constexpr size_t kChunk = ContentFingerprint::kChunkSize;
constexpr std::string_view kMark("\0BTDSAVE", 8);
constexpr size_t kHeadSize = 6 * 8;

void PutWord(char* out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(value >> (8 * i));
}

std::uint64_t WordAt(std::string_view bytes, size_t at) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

struct Journal {
  std::string_view content;
  std::string_view sums;        // 8 bytes per chunk of the old content
  std::uint64_t oldLength = 0;  // as written, whatever the size_t
  std::uint64_t oldTailSum = 0;

  std::uint64_t Sum(size_t chunk) const { return WordAt(sums, 8 * chunk); }
};

// A whole journal, still pending.
bool ParsePending(std::string_view bytes, Journal& journal) {
  if (bytes.size() < kHeadSize || bytes.substr(0, kMark.size()) != kMark) return false;
  std::uint64_t newLength = WordAt(bytes, 16), oldLength = WordAt(bytes, 32);
  if (bytes[kJournalStateOffset] != 0 || newLength > bytes.size() - kHeadSize) return false;
  size_t sumsSize = bytes.size() - kHeadSize - static_cast<size_t>(newLength);
  // One sum per chunk of the old content, and no more.
  std::uint64_t chunks = sumsSize / 8;
  if (sumsSize % 8 != 0 || oldLength > chunks * kChunk || oldLength + kChunk <= chunks * kChunk) return false;
  journal.content = bytes.substr(kHeadSize, static_cast<size_t>(newLength));
  journal.sums = bytes.substr(kHeadSize + static_cast<size_t>(newLength));
  journal.oldLength = oldLength;
  journal.oldTailSum = WordAt(bytes, 40);
  return ContentFingerprint(journal.content).Digest() == WordAt(bytes, 24);
}

// Whether a rewrite of the old content with `saved` (write from the start,
// then cut at the new length) can leave `current`: each chunk as it was, as
// it was to be, or, where the new end falls inside a chunk, new up to it
// and old after it; the length the old one's, or longer up to the new one's.
bool IsRewriteBetween(std::string_view current, std::string_view saved, const Journal& old) {
  const size_t length = current.size(), newLength = saved.size();
  if (length != old.oldLength && (length < old.oldLength || length > newLength)) return false;
  for (size_t begin = 0; begin < length; begin += kChunk) {
    const size_t end = std::min(begin + kChunk, length);
    const bool oldChunkEnds = begin < old.oldLength && end == std::min<std::uint64_t>(begin + kChunk, old.oldLength);
    if (end <= newLength && current.substr(begin, end - begin) == saved.substr(begin, end - begin)) continue;
    if (oldChunkEnds && ContentFingerprint::PartSum(current, begin, end) == old.Sum(begin / kChunk)) continue;
    const bool newEndsInside = begin < newLength && newLength < end;
    if (oldChunkEnds && newEndsInside &&
        current.substr(begin, newLength - begin) == saved.substr(begin, newLength - begin) &&
        ContentFingerprint::PartSum(current, newLength, end) == old.oldTailSum)
      continue;
    return false;
  }
  return true;
}

}  // namespace

void FormatJournal(const ContentFingerprint& old, std::uint64_t oldTailSum, const ContentFingerprint& next,
                   std::string& head, std::string& tail) {
  head.assign(kMark);
  head.resize(kHeadSize);
  const std::uint64_t words[] = {0 /* pending */, next.length(), next.Digest(), old.length(), oldTailSum};
  for (size_t i = 0; i < 5; ++i) PutWord(&head[kMark.size() + 8 * i], words[i]);
  tail.resize(8 * old.sums().size());
  for (size_t i = 0; i < old.sums().size(); ++i) PutWord(&tail[8 * i], old.sums()[i]);
}

JournalMatch MatchJournal(std::string_view journal, std::string_view current, std::string_view& saved) {
  Journal pending;
  if (ParsePending(journal, pending)) {
    saved = pending.content;
    if (current == saved) return JournalMatch::Applied;
    return IsRewriteBetween(current, saved, pending) ? JournalMatch::Unfinished : JournalMatch::Changed;
  }
  if (journal.empty() || journal[0] == kMark[0] || ClassifyContent(journal) != ContentKind::Complete)
    return JournalMatch::Nothing;
  saved = journal;  // an earlier version's
  return current == saved ? JournalMatch::Applied : JournalMatch::Changed;
}
