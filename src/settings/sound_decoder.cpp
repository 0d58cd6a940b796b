#include "settings/sound_decoder.h"

#include <mfapi.h>
#include <mferror.h>

#include <cstring>
#include <vector>

#include "platform/win/media_foundation.h"
#include "platform/win/unique_handle.h"

namespace {

constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);

// Asks the reader for `subtype` of `bits` at the stream's own rate and
// channels.
HRESULT AskFor(const MediaFoundation& library, IMFSourceReader* reader, const GUID& subtype, UINT32 bits) {
  IMFMediaType* created = nullptr;
  HRESULT result = library.createMediaType(&created);
  if (FAILED(result)) return result;
  UniqueCom<IMFMediaType> wanted(created);
  if (FAILED(result = wanted.get()->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) ||
      FAILED(result = wanted.get()->SetGUID(MF_MT_SUBTYPE, subtype)) ||
      FAILED(result = wanted.get()->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, bits)))
    return result;
  return reader->SetCurrentMediaType(kAudio, nullptr, wanted.get());
}

// 16-bit PCM; before Windows 8 the reader converts no sample format, and a
// decoder that gives only floating point is taken at its word.
HRESULT AskForPcm(const MediaFoundation& library, IMFSourceReader* reader, bool& floating) {
  reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE);
  reader->SetStreamSelection(kAudio, TRUE);
  floating = false;
  const HRESULT result = AskFor(library, reader, MFAudioFormat_PCM, 16);
  if (result != MF_E_INVALIDMEDIATYPE) return result;
  floating = true;
  return AskFor(library, reader, MFAudioFormat_Float, 32);
}

// The rate and channels the reader settled on; false unless the sample
// size asked for.
bool ReadFormat(IMFSourceReader* reader, UINT32 wantedBits, UINT32& rate, UINT32& channels) {
  IMFMediaType* current = nullptr;
  if (FAILED(reader->GetCurrentMediaType(kAudio, &current))) return false;
  UniqueCom<IMFMediaType> type(current);
  UINT32 bits = 0;
  return SUCCEEDED(type.get()->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate)) &&
         SUCCEEDED(type.get()->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels)) &&
         SUCCEEDED(type.get()->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits)) && bits == wantedBits;
}

std::vector<std::int16_t> Samples(const BYTE* bytes, DWORD length, bool floating) {
  std::vector<std::int16_t> samples(length / (floating ? sizeof(float) : sizeof(std::int16_t)));
  if (!floating) {
    if (!samples.empty()) std::memcpy(samples.data(), bytes, samples.size() * sizeof(std::int16_t));
    return samples;
  }
  for (std::size_t i = 0; i < samples.size(); ++i) {
    float value;
    std::memcpy(&value, bytes + i * sizeof value, sizeof value);
    value = value < -1.0f ? -1.0f : value > 1.0f ? 1.0f : value;
    samples[i] = static_cast<std::int16_t>(value * 32767.0f);
  }
  return samples;
}

// Hands a sample's bytes to the collector; false once it wants no more.
bool Collect(IMFSample* sample, bool floating, PcmCollector& collector, HRESULT& result) {
  IMFMediaBuffer* contiguous = nullptr;
  if (FAILED(result = sample->ConvertToContiguousBuffer(&contiguous))) return false;
  UniqueCom<IMFMediaBuffer> buffer(contiguous);
  BYTE* bytes = nullptr;
  DWORD length = 0;
  if (FAILED(result = buffer.get()->Lock(&bytes, nullptr, &length))) return false;
  const std::vector<std::int16_t> samples = Samples(bytes, length, floating);
  buffer.get()->Unlock();
  return collector.Add(samples.data(), samples.size());
}

}  // namespace

HRESULT DecodeWithMediaFoundation(const std::wstring& path, const std::atomic<bool>& cancel, PcmSound& sound) {
  const MediaFoundation& library = LoadMediaFoundation();
  if (!library.Loaded()) return kNoMediaFoundation;
  MediaFoundationSession session(library);
  if (FAILED(session.Result())) return kNoMediaFoundation;
  IMFSourceReader* created = nullptr;
  HRESULT result = library.createSourceReaderFromUrl(path.c_str(), nullptr, &created);
  if (FAILED(result)) return result;
  UniqueCom<IMFSourceReader> reader(created);
  bool floating = false;
  if (FAILED(result = AskForPcm(library, reader.get(), floating))) return result;
  const UINT32 bits = floating ? 32 : 16;
  UINT32 rate = 0, channels = 0;
  if (!ReadFormat(reader.get(), bits, rate, channels)) return MF_E_INVALIDMEDIATYPE;
  PcmCollector collector(rate, channels);
  if (!collector.Valid()) return MF_E_INVALIDMEDIATYPE;
  for (;;) {
    if (cancel) return E_ABORT;
    DWORD stream = 0, flags = 0;
    LONGLONG time = 0;
    IMFSample* read = nullptr;
    result = reader.get()->ReadSample(kAudio, 0, &stream, &flags, &time, &read);
    UniqueCom<IMFSample> sample(read);
    if (FAILED(result)) return result;
    if (flags & MF_SOURCE_READERF_ERROR) return MF_E_INVALIDMEDIATYPE;
    UINT32 newRate = 0, newChannels = 0;
    if ((flags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED) &&
        !(ReadFormat(reader.get(), bits, newRate, newChannels) && newRate == rate && newChannels == channels))
      return MF_E_INVALIDMEDIATYPE;  // a sound that changes its format midway
    if (sample && !Collect(sample.get(), floating, collector, result)) {
      if (FAILED(result)) return result;
      break;  // the limit reached
    }
    if (flags & MF_SOURCE_READERF_ENDOFSTREAM) break;
  }
  sound = collector.Finish();
  return sound.Frames() > 0 ? S_OK : MF_E_INVALIDMEDIATYPE;
}
