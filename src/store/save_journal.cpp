#include "store/save_journal.h"

#include <algorithm>

// The trailer, in little-endian 64-bit words: the old content's chunk sums,
// the sum of its tail past the new length in the chunk that holds the new
// end, the old length, the new length, and a mark that no settings file
// ends with.
namespace {

constexpr size_t kChunk = ContentFingerprint::kChunkSize;
constexpr std::string_view kMark("\0BTDSAVE", 8);
constexpr size_t kFixedSize = 3 * 8 + kMark.size();

void AppendWord(std::string& out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>(value >> (8 * i));
}

std::uint64_t WordAt(std::string_view bytes, size_t at) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

struct Trailer {
  std::string_view sums;  // 8 bytes per chunk of the old content
  std::uint64_t oldTailSum = 0;
  std::uint64_t oldLength = 0;  // as written, whatever the size_t
  size_t newLength = 0;

  std::uint64_t Sum(size_t chunk) const { return WordAt(sums, 8 * chunk); }
};

bool ParseTrailer(std::string_view journal, Trailer& trailer) {
  size_t size = journal.size();
  if (size < kFixedSize || journal.substr(size - kMark.size()) != kMark) return false;
  std::uint64_t oldLength = WordAt(journal, size - kFixedSize + 8);
  std::uint64_t newLength = WordAt(journal, size - kFixedSize + 16);
  if (newLength > size - kFixedSize) return false;
  size_t sumsSize = size - kFixedSize - static_cast<size_t>(newLength);
  // One sum per chunk of the old content, and no more.
  std::uint64_t chunks = sumsSize / 8;
  if (sumsSize % 8 != 0 || oldLength > chunks * kChunk || oldLength + kChunk <= chunks * kChunk) return false;
  trailer.sums = journal.substr(static_cast<size_t>(newLength), sumsSize);
  trailer.oldTailSum = WordAt(journal, size - kFixedSize);
  trailer.oldLength = oldLength;
  trailer.newLength = static_cast<size_t>(newLength);
  return true;
}

// Whether a rewrite of the old content with `saved` (write from the start,
// then cut at the new length) can leave `current`: each chunk as it was, as
// it was to be, or, where the new end falls inside a chunk, new up to it
// and old after it; the length the old one's, or longer up to the new one's.
bool IsRewriteBetween(std::string_view current, std::string_view saved, const Trailer& old) {
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

void FormatJournalTrailer(const ContentFingerprint& old, std::uint64_t oldTailSum, size_t newLength,
                          std::string& trailer) {
  trailer.clear();
  for (std::uint64_t sum : old.sums()) AppendWord(trailer, sum);
  AppendWord(trailer, oldTailSum);
  AppendWord(trailer, old.length());
  AppendWord(trailer, newLength);
  trailer += kMark;
}

JournalMatch MatchJournal(std::string_view journal, std::string_view current, std::string_view& saved) {
  Trailer trailer;
  bool described = ParseTrailer(journal, trailer);
  saved = described ? journal.substr(0, trailer.newLength) : journal;
  if (current == saved) return JournalMatch::Applied;
  return described && IsRewriteBetween(current, saved, trailer) ? JournalMatch::Unfinished : JournalMatch::Changed;
}
