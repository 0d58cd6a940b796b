#include "settings/sound_conversion.h"

#include "platform/ansi_text_win32.h"
#include "res/resource.h"
#include "schemes/wave_writer.h"
#include "settings/converted_files.h"

namespace {

UINT ReasonOf(HRESULT result) {
  switch (result) {
    case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND):
    case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND):
      return IDS_REASON_MISSING;
    case E_ACCESSDENIED:
    case HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION):
      return IDS_REASON_UNREADABLE;
    default:
      return IDS_REASON_UNDECODABLE;
  }
}

}  // namespace

SoundConversion::SoundConversion(std::vector<std::wstring> sources, CString folder, SoundDecoder decoder)
    : m_sources(std::move(sources)),
      m_folder(std::move(folder)),
      m_decoder(std::move(decoder)),
      m_worker([this] { Run(); }) {}

SoundConversion::~SoundConversion() {
  Cancel();
  m_worker.join();
}

void SoundConversion::Progress(std::size_t& finished, std::size_t& total, std::wstring& current) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  finished = m_results.size();
  total = m_sources.size();
  current = finished < total ? m_sources[finished] : std::wstring();
}

void SoundConversion::Run() {
  for (const std::wstring& source : m_sources) {
    if (m_cancel) break;
    ConvertedSound converted = Convert(source);
    if (m_cancel && converted.path.IsEmpty()) break;  // given up midway: not a failure of the file
    if (m_noMediaFoundation) break;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_results.push_back(std::move(converted));
  }
  m_done = true;
  SetEvent(m_doneEvent.get());
}

ConvertedSound SoundConversion::Convert(const std::wstring& source) {
  ConvertedSound converted{source, CString(), 0};
  const std::string sourceName = SourceName(source);
  if (sourceName.empty()) {
    converted.reason = GetLastError() == ERROR_FILE_NOT_FOUND ? IDS_REASON_MISSING : IDS_REASON_UNREADABLE;
    return converted;
  }
  CreateDirectoryA(m_folder, nullptr);
  const ConvertedFile file = ConvertedFileFor(m_folder, source, sourceName);
  if (file.path.IsEmpty()) {
    converted.reason = IDS_REASON_NOT_WRITTEN;
  } else if (file.made) {
    converted.path = file.path;
  } else {
    PcmSound sound;
    const HRESULT result = m_decoder(source, m_cancel, sound);
    if (result == kNoMediaFoundation) m_noMediaFoundation = true;
    if (FAILED(result))
      converted.reason = ReasonOf(result);
    else if (!WriteWaveFile(file.path, file.path + ".tmp", sound, sourceName))
      converted.reason = IDS_REASON_NOT_WRITTEN;
    else
      converted.path = file.path;
  }
  return converted;
}
