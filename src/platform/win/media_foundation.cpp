#include "platform/win/media_foundation.h"

#include <mfapi.h>

#include "platform/win/process_hardening.h"

const MediaFoundation& LoadMediaFoundation() {
  static const MediaFoundation library = [] {
    MediaFoundation loaded;
    loaded.startup = AsFunction<decltype(loaded.startup)>(SystemExport(L"mfplat.dll", "MFStartup"));
    loaded.shutdown = AsFunction<decltype(loaded.shutdown)>(SystemExport(L"mfplat.dll", "MFShutdown"));
    loaded.createMediaType =
        AsFunction<decltype(loaded.createMediaType)>(SystemExport(L"mfplat.dll", "MFCreateMediaType"));
    loaded.createSourceReaderFromUrl = AsFunction<decltype(loaded.createSourceReaderFromUrl)>(
        SystemExport(L"mfreadwrite.dll", "MFCreateSourceReaderFromURL"));
    return loaded;
  }();
  return library;
}

MediaFoundationSession::MediaFoundationSession(const MediaFoundation& library)
    : m_library(library),
      m_comInitialized(CoInitializeEx(nullptr, COINIT_MULTITHREADED)),
      m_started(library.startup(MF_VERSION, MFSTARTUP_LITE)) {}

MediaFoundationSession::~MediaFoundationSession() {
  if (SUCCEEDED(m_started)) m_library.shutdown();
  if (SUCCEEDED(m_comInitialized)) CoUninitialize();
}
