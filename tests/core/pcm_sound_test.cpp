#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "schemes/pcm_sound.h"
#include "schemes/wave_chunks.h"
#include "schemes/wave_writer.h"
#include "temp_dir.h"

// Frames given in uneven pieces (a frame split between two) come out with
// at most two channels, cut at the limit with a fade to silence.
TEST(PcmCollector, MixesDownCutsAtTheLimitAndFadesOut) {
  struct Row {
    std::uint32_t rate, channels, frames, limitSeconds;
    std::uint16_t channelsOut;
    std::size_t framesOut;
    bool cut;
    std::vector<std::int16_t> firstFrame;  // of frames whose channel c holds 1000 * (c + 1)
  };
  const Row rows[] = {
      {8000, 1, 8000, 2, 1, 8000, false, {1000}},
      {8000, 2, 16000, 2, 2, 16000, false, {1000, 2000}},
      {8000, 2, 16001, 2, 2, 16000, true, {1000, 2000}},
      {8000, 6, 100, 2, 2, 100, false, {3000, 4000}},  // (1+3+5)/3, (2+4+6)/3 thousand
      {8000, 3, 30000, 1, 2, 8000, true, {2000, 2000}},
      {192000, 2, 1100000, 10, 2, (4 * 1024 * 1024 - 8192) / 4, true, {1000, 2000}},  // the session sounds' 4 MiB
  };
  for (const Row& row : rows) {
    std::vector<std::int16_t> samples;
    for (std::uint32_t f = 0; f < row.frames; ++f)
      for (std::uint32_t c = 0; c < row.channels; ++c) samples.push_back(static_cast<std::int16_t>(1000 * (c + 1)));
    PcmCollector collector(row.rate, row.channels, row.limitSeconds);
    ASSERT_TRUE(collector.Valid());
    std::size_t at = 0;
    for (std::size_t piece = 7;
         at < samples.size() && collector.Add(&samples[at], std::min(piece, samples.size() - at));
         piece = piece * 3 + 1)
      at += piece;
    const PcmSound sound = collector.Finish();
    SCOPED_TRACE(row.channels * 100000 + row.frames);
    EXPECT_EQ(row.channelsOut, sound.channels);
    EXPECT_EQ(row.framesOut, sound.Frames());
    EXPECT_EQ(row.cut, sound.cut);
    EXPECT_EQ(row.firstFrame,
              std::vector<std::int16_t>(sound.samples.begin(), sound.samples.begin() + row.channelsOut));
    if (!row.cut) {
      EXPECT_EQ(row.firstFrame.back(), sound.samples.back());
      continue;
    }
    const std::int16_t fading = sound.samples[(sound.Frames() - row.rate / 8 + 1) * sound.channels - 1];  // half-way
    EXPECT_EQ(0, sound.samples.back());
    EXPECT_NEAR(row.firstFrame.back() / 2, fading, row.firstFrame.back() / 50);
  }
  EXPECT_FALSE(PcmCollector(0, 2).Valid());
  EXPECT_FALSE(PcmCollector(44100, 0).Valid());
  EXPECT_FALSE(PcmCollector(0xFFFFFFFF, 2).Valid());  // ten seconds of it would not fit in memory
}

// What the writer writes, the one chunk walker reads back, and the source
// named after the data; any other wave file names none.
TEST(WaveWriter, WritesPcmThatTheChunkWalkerReadsAndNamesItsSource) {
  PcmSound sound;
  sound.rate = 22050;
  sound.channels = 2;
  sound.samples = {1, -1, 300, -300, 32767, -32768};
  TempDir dir;
  const std::string path = dir.File("made.wav"), tmp = dir.File("made.tmp");
  for (const std::string source : {"C:\\SOUNDS\\A.MP3|1234|5678", "odd"}) {
    ASSERT_TRUE(WriteWaveFile(path.c_str(), tmp.c_str(), sound, source));
    const std::string bytes = dir.Read("made.wav");
    const WaveChunks chunks = WalkWaveChunks(bytes);
    EXPECT_TRUE(chunks.isWave && chunks.hasFormat && chunks.hasData);
    EXPECT_EQ(1, chunks.formatTag);
    EXPECT_EQ(2, chunks.channels);
    EXPECT_EQ(22050u, chunks.samplesPerSecond);
    EXPECT_EQ(22050u * 4, chunks.bytesPerSecond);
    EXPECT_EQ(4, chunks.blockAlign);
    EXPECT_EQ(16, chunks.bitsPerSample);
    EXPECT_EQ(12u, chunks.dataBytes);
    EXPECT_EQ(std::string("\x2C\x01\xD4\xFE", 4), bytes.substr(chunks.dataOffset + 4, 4));  // 300, -300
    EXPECT_EQ(bytes.size() - 8, static_cast<unsigned char>(bytes[4]) + 256u * static_cast<unsigned char>(bytes[5]));
    EXPECT_EQ(source, ReadSourceName(path.c_str()));
  }
  dir.Write("other.wav", WaveFileBytes(sound, "").substr(0, 44));
  EXPECT_EQ("", ReadSourceName(dir.File("other.wav").c_str()));
  EXPECT_EQ("", ReadSourceName(dir.File("gone.wav").c_str()));
}
