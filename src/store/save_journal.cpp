#include "store/save_journal.h"

#include <algorithm>

#include "store/settings_format.h"

// The head, in little-endian 64-bit words: a mark whose NUL no settings
// file starts with, the state, the new length, the digest, the old length,
// and the sum of the old content past the new length in the chunk that
// holds the new end. The tail: one sum per chunk of the old content. The
// digest covers every word but the state, and the tail: a journal whose
// sectors did not all reach the disk fails it, whichever they are.
namespace {

constexpr size_t kChunk = ContentFingerprint::kChunkSize;
constexpr std::string_view kMark("\0BTDSAV2", 8);
// The last version's: its digest covers the new content alone.
constexpr std::string_view kDigestOfContentMark("\0BTDSAVE", 8);
constexpr size_t kHeadSize = 6 * 8;

void PutWord(char* out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(value >> (8 * i));
}

std::uint64_t WordAt(std::string_view bytes, size_t at) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// splitmix64's finaliser of `word` into `digest`.
std::uint64_t Mix(std::uint64_t digest, std::uint64_t word) {
  std::uint64_t x = digest ^ word;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
  return x ^ (x >> 31);
}

std::uint64_t JournalDigest(std::uint64_t contentDigest, std::uint64_t oldLength, std::uint64_t oldTailSum,
                            std::string_view sums) {
  std::uint64_t digest = Mix(Mix(contentDigest, oldLength), oldTailSum);
  for (size_t at = 0; at < sums.size(); at += 8) digest = Mix(digest, WordAt(sums, at));
  return digest;
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
  if (bytes.size() < kHeadSize) return false;
  const std::string_view mark = bytes.substr(0, kMark.size());
  if (mark != kMark && mark != kDigestOfContentMark) return false;
  std::uint64_t newLength = WordAt(bytes, 16), oldLength = WordAt(bytes, 32);
  if (bytes[kJournalStateOffset] != 0 || newLength > bytes.size() - kHeadSize) return false;
  size_t sumsSize = bytes.size() - kHeadSize - static_cast<size_t>(newLength);
  // One sum per chunk of the old content, and no more.
  std::uint64_t chunks = sumsSize / 8;
  if (sumsSize % 8 != 0 || oldLength > chunks * kChunk || oldLength + kChunk <= chunks * kChunk) return false;
  // An old content this build could never have held in memory.
  if (static_cast<size_t>(oldLength) != oldLength) return false;
  journal.content = bytes.substr(kHeadSize, static_cast<size_t>(newLength));
  journal.sums = bytes.substr(kHeadSize + static_cast<size_t>(newLength));
  journal.oldLength = oldLength;
  journal.oldTailSum = WordAt(bytes, 40);
  std::uint64_t digest = ContentFingerprint(journal.content).Digest();
  if (mark == kMark) digest = JournalDigest(digest, oldLength, journal.oldTailSum, journal.sums);
  return digest == WordAt(bytes, 24);
}

bool IsZeros(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

// Whether a rewrite of the old content with `saved` (written from the
// start, then cut to the new length) can leave `current` after a power cut.
// Each chunk then holds the old bytes or the new ones; where the new end
// falls inside a chunk, new bytes up to it and old ones after (a shrinking
// write), or the old ones cut there; past the old end, bytes not yet
// written read as zeros. The length is the old one, the new one, or one
// between.
bool IsRewriteBetween(std::string_view current, std::string_view saved, const Journal& old) {
  const size_t length = current.size(), newLength = saved.size();
  const size_t oldLength = static_cast<size_t>(old.oldLength);
  if (length < std::min(oldLength, newLength) || length > std::max(oldLength, newLength)) return false;
  for (size_t begin = 0; begin < length; begin += kChunk) {
    const size_t end = std::min(begin + kChunk, length), chunk = begin / kChunk;
    const size_t oldEnd = std::min(begin + kChunk, oldLength);  // of the old chunk
    const bool newEndsInside = begin < newLength && newLength < oldEnd;
    auto isNew = [&](size_t to) {
      return to <= newLength && current.substr(begin, to - begin) == saved.substr(begin, to - begin);
    };
    // The old bytes [from, to) of this chunk, for the parts the sums tell.
    auto isOld = [&](size_t from, size_t to) {
      if (from >= to) return true;
      std::uint64_t sum = ContentFingerprint::PartSum(current, from, to);
      if (from == begin && to == oldEnd) return sum == old.Sum(chunk);
      if (newEndsInside && from == newLength && to == oldEnd) return sum == old.oldTailSum;
      if (newEndsInside && from == begin && to == newLength) return sum == old.Sum(chunk) - old.oldTailSum;
      return false;
    };
    if (isNew(end)) continue;
    const size_t oldPart = std::clamp(oldLength, begin, end);
    if (isOld(begin, oldPart) && IsZeros(current.substr(oldPart, end - oldPart))) continue;
    if (newEndsInside && isNew(newLength) && end == oldEnd && isOld(newLength, end)) continue;
    return false;
  }
  return true;
}

}  // namespace

void FormatJournal(const ContentFingerprint& old, std::uint64_t oldTailSum, const ContentFingerprint& next,
                   std::string& head, std::string& tail) {
  tail.resize(8 * old.sums().size());
  for (size_t i = 0; i < old.sums().size(); ++i) PutWord(&tail[8 * i], old.sums()[i]);
  head.assign(kMark);
  head.resize(kHeadSize);
  const std::uint64_t digest = JournalDigest(next.Digest(), old.length(), oldTailSum, tail);
  const std::uint64_t words[] = {0 /* pending */, next.length(), digest, old.length(), oldTailSum};
  for (size_t i = 0; i < 5; ++i) PutWord(&head[kMark.size() + 8 * i], words[i]);
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
