#include "store/content_fingerprint.h"

#include <array>

namespace {

constexpr size_t kWordsPerChunk = ContentFingerprint::kChunkSize / 4;

// One odd weight per word of a chunk, scattered by a 32-bit mix, so that no
// change of a byte, and hardly any change of several, keeps the sum.
struct Weights {
  std::array<std::uint32_t, kWordsPerChunk> of{};
  constexpr Weights() {
    for (std::uint32_t k = 0; k < kWordsPerChunk; ++k) {
      std::uint32_t x = (k + 1) * 0x9E3779B9u;
      x = (x ^ (x >> 16)) * 0x85EBCA6Bu;
      x = (x ^ (x >> 13)) * 0xC2B2AE35u;
      of[k] = (x ^ (x >> 16)) | 1u;
    }
  }
};
constexpr Weights kWeights;

// A byte weighted by its place `q` in its chunk: its value at its place in a
// little-endian word, times the word's weight.
std::uint64_t ByteTerm(unsigned char byte, size_t q) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(byte) << (8 * (q % 4))) * kWeights.of[q / 4];
}

std::uint32_t LittleEndianWord(const char* p) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

}  // namespace

void ContentFingerprint::Compute(std::string_view content) {
  m_length = content.size();
  m_sums.clear();
  for (size_t from = 0; from < content.size(); from += kChunkSize) m_sums.push_back(TailSum(content, from));
}

// A 64-bit mix (splitmix64's finaliser) of each sum into the running value.
std::uint64_t ContentFingerprint::Digest() const {
  std::uint64_t digest = m_length;
  for (std::uint64_t sum : m_sums) {
    std::uint64_t x = digest ^ sum;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    digest = x ^ (x >> 31);
  }
  return digest;
}

void ContentFingerprint::ChangeByte(size_t at, char was, char now) {
  size_t q = at % kChunkSize;
  m_sums[at / kChunkSize] +=
      ByteTerm(static_cast<unsigned char>(now), q) - ByteTerm(static_cast<unsigned char>(was), q);
}

// Whole words in four independent lanes; the ragged ends byte by byte.
std::uint64_t ContentFingerprint::PartSum(std::string_view content, size_t from, size_t to) {
  const size_t chunk = from - from % kChunkSize;
  const char* base = content.data() + chunk;
  size_t q = from - chunk, end = to - chunk;
  std::uint64_t sum = 0;
  for (; q < end && q % 4 != 0; ++q) sum += ByteTerm(static_cast<unsigned char>(base[q]), q);
  std::uint64_t lane[4] = {};
  for (; q + 16 <= end; q += 16)
    for (size_t l = 0; l < 4; ++l)
      lane[l] += static_cast<std::uint64_t>(LittleEndianWord(base + q + 4 * l)) * kWeights.of[q / 4 + l];
  for (; q + 4 <= end; q += 4) sum += static_cast<std::uint64_t>(LittleEndianWord(base + q)) * kWeights.of[q / 4];
  for (; q < end; ++q) sum += ByteTerm(static_cast<unsigned char>(base[q]), q);
  return sum + lane[0] + lane[1] + lane[2] + lane[3];
}

std::uint64_t ContentFingerprint::TailSum(std::string_view content, size_t from) {
  size_t chunkEnd = from - from % kChunkSize + kChunkSize;
  return PartSum(content, from, chunkEnd < content.size() ? chunkEnd : content.size());
}
