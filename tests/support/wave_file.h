#pragma once
// Real RIFF/WAVE bytes for tests: PCM, 8 bits, mono, 22,050 samples a
// second, `milliseconds` long, of silence.

#include <cstdint>
#include <string>

inline std::string WaveBytes(unsigned milliseconds) {
  constexpr std::uint32_t kRate = 22050;
  const std::uint32_t data = static_cast<std::uint32_t>(static_cast<std::uint64_t>(kRate) * milliseconds / 1000);
  std::string wave;
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) wave += static_cast<char>(v >> (8 * i));
  };
  auto put16 = [&](std::uint16_t v) {
    wave += static_cast<char>(v);
    wave += static_cast<char>(v >> 8);
  };
  wave += "RIFF";
  put32(36 + data);
  wave += "WAVEfmt ";
  put32(16);
  put16(1);  // PCM
  put16(1);  // mono
  put32(kRate);
  put32(kRate);  // bytes a second
  put16(1);      // block
  put16(8);      // bits
  wave += "data";
  put32(data);
  wave.append(data, '\x80');
  return wave;
}

// The start of an MP3 file: a name ending in .wav does not make it a wave.
inline const std::string kMp3Bytes("ID3\x04\x00\x00\x00\x00\x00\x21TIT2", 14);
