#include "schemes/pcm_sound.h"

#include <algorithm>

#include "schemes/session_sounds.h"

namespace {

constexpr std::uint32_t kFadeDivisor = 4;  // a quarter of a second
// The samples of a wave file the session sounds still play, beside its
// header and the chunk naming its source.
constexpr std::uint64_t kMostSampleBytes = kMostSessionSoundBytes - 8192;

}  // namespace

PcmCollector::PcmCollector(std::uint32_t rate, std::uint32_t channels, std::uint32_t limitSeconds)
    : m_sourceChannels(channels) {
  m_sound.rate = rate;
  m_sound.channels = static_cast<std::uint16_t>(channels >= 2 ? 2 : 1);
  m_limitFrames = std::min<std::uint64_t>(std::uint64_t{rate} * limitSeconds,
                                          kMostSampleBytes / (m_sound.channels * sizeof(std::int16_t)));
  if (Valid()) m_sound.samples.reserve(static_cast<std::size_t>(m_limitFrames * m_sound.channels));
}

void PcmCollector::AddFrame(const std::int16_t* frame) {
  if (m_sourceChannels <= 2) {
    m_sound.samples.insert(m_sound.samples.end(), frame, frame + m_sourceChannels);
    return;
  }
  for (std::uint32_t side = 0; side < 2; ++side) {
    std::int64_t sum = 0, count = 0;
    for (std::uint32_t c = side; c < m_sourceChannels; c += 2, ++count) sum += frame[c];
    m_sound.samples.push_back(static_cast<std::int16_t>(sum / count));
  }
}

bool PcmCollector::Add(const std::int16_t* samples, std::size_t count) {
  if (!Valid()) return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (m_sound.Frames() >= m_limitFrames) {
      m_sound.cut = true;
      return false;
    }
    m_partial.push_back(samples[i]);
    if (m_partial.size() == m_sourceChannels) {
      AddFrame(m_partial.data());
      m_partial.clear();
    }
  }
  return true;
}

PcmSound PcmCollector::Finish() {
  if (m_sound.cut) {
    const std::size_t frames = m_sound.Frames();
    const std::size_t fade = std::min<std::size_t>(frames, m_sound.rate / kFadeDivisor);
    for (std::size_t f = frames - fade; f < frames; ++f) {
      const std::int64_t left = static_cast<std::int64_t>(frames - 1 - f);  // 0 at the last frame
      for (std::size_t c = 0; c < m_sound.channels; ++c) {
        std::int16_t& sample = m_sound.samples[f * m_sound.channels + c];
        sample = static_cast<std::int16_t>(sample * left / static_cast<std::int64_t>(fade));
      }
    }
  }
  return std::move(m_sound);
}
