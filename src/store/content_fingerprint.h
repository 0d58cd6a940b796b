#pragma once
// What a save's journal records of the content the save replaces: its
// length and one sum per 512-byte chunk (a sector, the smallest piece a disk
// writes whole). A rewrite cut short leaves each chunk of the file as it was
// or as it was to be, so a start can tell such a file from bytes written by
// someone else without the old content itself.
//
// A sum is linear in the bytes, each weighted by its place in the chunk:
// a changed byte updates it in O(1), and any part of a chunk has a sum of
// its own that adds up with the rest.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class ContentFingerprint {
 public:
  static constexpr size_t kChunkSize = 512;

  ContentFingerprint() = default;
  explicit ContentFingerprint(std::string_view content) { Compute(content); }
  // Anew for `content`, in the memory already held.
  void Compute(std::string_view content);

  size_t length() const { return m_length; }
  const std::vector<std::uint64_t>& sums() const { return m_sums; }
  // 64 bits that tell this content from another: any difference of a chunk
  // sum or of the length changes them, not linearly.
  std::uint64_t Digest() const;

  // The byte at `at` changed from `was` to `now`.
  void ChangeByte(size_t at, char was, char now);

  // The sum of the bytes [from, to) of `content`, all in the chunk that
  // holds `from`, weighted by their places in that chunk.
  static std::uint64_t PartSum(std::string_view content, size_t from, size_t to);
  // The part of that chunk from `from` to its end (or the content's).
  static std::uint64_t TailSum(std::string_view content, size_t from);

 private:
  size_t m_length = 0;
  std::vector<std::uint64_t> m_sums;
};
