#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "schemes/wave_check.h"
#include "temp_dir.h"
#include "wave_file.h"

namespace {

std::string Little(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
  return text;
}

std::string Chunk(const char* id, const std::string& body) {
  std::string chunk = std::string(id, 4) + Little(static_cast<std::uint32_t>(body.size()), 4) + body;
  if (body.size() % 2) chunk += '\0';
  return chunk;
}

std::string Riff(const std::string& chunks, const char* form = "WAVE") {
  return "RIFF" + Little(static_cast<std::uint32_t>(4 + chunks.size()), 4) + form + chunks;
}

// The 16 bytes of a format chunk: tag, channels, rate, bytes a second,
// block, bits.
std::string Format(std::uint16_t tag, std::uint16_t channels, std::uint16_t bits) {
  const std::uint32_t block = channels * bits / 8u;
  return Little(tag, 2) + Little(channels, 2) + Little(44100, 4) + Little(44100 * block, 4) + Little(block, 2) +
         Little(bits, 2);
}

// The 40-byte extensible format of `subtype`, KSDATAFORMAT_SUBTYPE_PCM (1)
// or _IEEE_FLOAT (3).
std::string Extensible(std::uint16_t channels, std::uint16_t bits, std::uint32_t subtype) {
  return Format(0xFFFE, channels, bits) + Little(22, 2) + Little(bits, 2) + Little(3, 4) + Little(subtype, 4) +
         std::string("\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 12);
}

}  // namespace

// A file is added for its header alone; the list marks what Windows cannot
// play as a system sound.
TEST(WaveCheck, HeaderAndFormatAreJudgedFromTheFile) {
  TempDir dir;
  const std::string data = Chunk("data", std::string(64, '\x80'));
  const struct {
    const char* name;
    std::string bytes;
    WaveCheck header;
    WaveCheck whole;
  } cases[] = {
      {"pcm8.wav", WaveBytes(20), WaveCheck::Playable, WaveCheck::Playable},
      {"pcm16 stereo.wav", Riff(Chunk("fmt ", Format(1, 2, 16)) + data), WaveCheck::Playable, WaveCheck::Playable},
      {"extensible pcm.wav", Riff(Chunk("fmt ", Extensible(2, 16, 1)) + data), WaveCheck::Playable,
       WaveCheck::Playable},
      // Odd-sized chunks are padded: the format after a LIST chunk of 5 bytes.
      {"list first.wav", Riff(Chunk("LIST", "INFOx") + Chunk("fmt ", Format(1, 1, 16)) + data), WaveCheck::Playable,
       WaveCheck::Playable},
      {"24 bits.wav", Riff(Chunk("fmt ", Format(1, 2, 24)) + data), WaveCheck::Playable, WaveCheck::Unplayable},
      {"float.wav", Riff(Chunk("fmt ", Format(3, 2, 32)) + data), WaveCheck::Playable, WaveCheck::Unplayable},
      {"extensible float.wav", Riff(Chunk("fmt ", Extensible(2, 32, 3)) + data), WaveCheck::Playable,
       WaveCheck::Unplayable},
      {"six channels.wav", Riff(Chunk("fmt ", Format(1, 6, 16)) + data), WaveCheck::Playable, WaveCheck::Unplayable},
      {"adpcm.wav", Riff(Chunk("fmt ", Format(2, 1, 4)) + data), WaveCheck::Playable, WaveCheck::Unplayable},
      {"no format.wav", Riff(data), WaveCheck::Playable, WaveCheck::Unplayable},
      {"short format.wav", Riff(Chunk("fmt ", Format(1, 1, 8).substr(0, 14))), WaveCheck::Playable,
       WaveCheck::Unplayable},
      {"cut format.wav", Riff(Chunk("fmt ", Format(1, 1, 8))).substr(0, 30), WaveCheck::Playable,
       WaveCheck::Unplayable},
      {"header only.wav", Riff(""), WaveCheck::Playable, WaveCheck::Unplayable},
      {"empty.wav", "", WaveCheck::NotWave, WaveCheck::NotWave},
      {"eleven bytes.wav", Riff("").substr(0, 11), WaveCheck::NotWave, WaveCheck::NotWave},
      {"mp3.wav", kMp3Bytes, WaveCheck::NotWave, WaveCheck::NotWave},
      {"avi.wav", Riff(Chunk("fmt ", Format(1, 1, 8)), "AVI "), WaveCheck::NotWave, WaveCheck::NotWave},
      {"rifx.wav", "RIFX" + WaveBytes(20).substr(4), WaveCheck::NotWave, WaveCheck::NotWave},
  };
  for (const auto& c : cases) {
    dir.Write(c.name, c.bytes);
    EXPECT_EQ(c.header, CheckWaveHeader(dir.File(c.name).c_str())) << c.name;
    EXPECT_EQ(c.whole, CheckWaveFile(dir.File(c.name).c_str())) << c.name;
  }
  for (const std::string& missing : {dir.File("gone.wav"), dir.File("gone") + "/x.wav"}) {
    EXPECT_EQ(WaveCheck::Missing, CheckWaveHeader(missing.c_str())) << missing;
    EXPECT_EQ(WaveCheck::Missing, CheckWaveFile(missing.c_str())) << missing;
  }
}
