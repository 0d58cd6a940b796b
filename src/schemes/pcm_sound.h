#pragma once
// A decoded sound as Belltide writes it for Windows: 16-bit PCM of one or
// two channels, at most ten seconds, and how it was gathered from a decoder
// that may give more channels and more time.

#include <cstddef>
#include <cstdint>
#include <vector>

struct PcmSound {
  std::uint32_t rate = 0;
  std::uint16_t channels = 0;         // 1 or 2
  std::vector<std::int16_t> samples;  // interleaved frames
  bool cut = false;                   // it went on past the limit

  std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
};

// Gathers interleaved 16-bit samples of `channels` channels. More than two
// are mixed down: channels of even index to the left, odd to the right, each
// side their mean. A sound past `limitSeconds`, or past what the session
// sounds play from memory (at rates above 96 kHz), is cut there and fades
// out over its last quarter of a second.
class PcmCollector {
 public:
  static constexpr std::uint32_t kLimitSeconds = 10, kMostRate = 768000, kMostChannels = 32;

  PcmCollector(std::uint32_t rate, std::uint32_t channels, std::uint32_t limitSeconds = kLimitSeconds);
  // False when the format cannot make a sound: no channel, or no rate, or
  // more of either than any sound card knows.
  bool Valid() const {
    return m_sound.rate != 0 && m_sound.rate <= kMostRate && m_sourceChannels != 0 && m_sourceChannels <= kMostChannels;
  }
  // Takes `count` samples; a frame split across calls is joined. False once
  // the limit is reached: nothing more is wanted.
  bool Add(const std::int16_t* samples, std::size_t count);
  // The sound gathered, faded out when cut.
  PcmSound Finish();

 private:
  void AddFrame(const std::int16_t* frame);

  std::uint32_t m_sourceChannels;
  std::uint64_t m_limitFrames;
  std::vector<std::int16_t> m_partial;  // a frame not yet whole
  PcmSound m_sound;
};
