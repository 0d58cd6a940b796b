#include "settings/sound_decoder.h"

#include <mfapi.h>
#include <mferror.h>

#include <cstring>
#include <vector>

#include "platform/win/media_foundation.h"
#include "platform/win/unique_handle.h"

namespace {

constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);

// Asks the reader for 16-bit PCM at the stream's own rate and channels.
HRESULT AskForPcm(const MediaFoundation& library, IMFSourceReader* reader) {
  IMFMediaType* created = nullptr;
  HRESULT result = library.createMediaType(&created);
  if (FAILED(result)) return result;
  UniqueCom<IMFMediaType> wanted(created);
  if (FAILED(result = wanted.get()->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) ||
      FAILED(result = wanted.get()->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM)) ||
      FAILED(result = wanted.get()->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16)))
    return result;
  reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE);
  reader->SetStreamSelection(kAudio, TRUE);
  return reader->SetCurrentMediaType(kAudio, nullptr, wanted.get());
}

// The rate and channels the reader settled on; false unless 16-bit PCM.
bool ReadFormat(IMFSourceReader* reader, UINT32& rate, UINT32& channels) {
  IMFMediaType* current = nullptr;
  if (FAILED(reader->GetCurrentMediaType(kAudio, &current))) return false;
  UniqueCom<IMFMediaType> type(current);
  UINT32 bits = 0;
  return SUCCEEDED(type.get()->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate)) &&
         SUCCEEDED(type.get()->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels)) &&
         SUCCEEDED(type.get()->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits)) && bits == 16;
}

// Hands a sample's bytes to the collector; false once it wants no more.
bool Collect(IMFSample* sample, PcmCollector& collector, HRESULT& result) {
  IMFMediaBuffer* contiguous = nullptr;
  if (FAILED(result = sample->ConvertToContiguousBuffer(&contiguous))) return false;
  UniqueCom<IMFMediaBuffer> buffer(contiguous);
  BYTE* bytes = nullptr;
  DWORD length = 0;
  if (FAILED(result = buffer.get()->Lock(&bytes, nullptr, &length))) return false;
  std::vector<std::int16_t> samples(length / sizeof(std::int16_t));
  if (!samples.empty()) std::memcpy(samples.data(), bytes, samples.size() * sizeof(std::int16_t));
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
  if (FAILED(result = AskForPcm(library, reader.get()))) return result;
  UINT32 rate = 0, channels = 0;
  if (!ReadFormat(reader.get(), rate, channels)) return MF_E_INVALIDMEDIATYPE;
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
        !(ReadFormat(reader.get(), newRate, newChannels) && newRate == rate && newChannels == channels))
      return MF_E_INVALIDMEDIATYPE;  // a sound that changes its format midway
    if (sample && !Collect(sample.get(), collector, result)) {
      if (FAILED(result)) return result;
      break;  // the limit reached
    }
    if (flags & MF_SOURCE_READERF_ENDOFSTREAM) break;
  }
  sound = collector.Finish();
  return sound.Frames() > 0 ? S_OK : MF_E_INVALIDMEDIATYPE;
}
