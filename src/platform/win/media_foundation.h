#pragma once
// Media Foundation, loaded at run time from the system folder and never
// imported: a user who converts no sound never loads it, and a Windows
// without it (an "N" edition without the Media Feature Pack) still runs
// Belltide.

#include <windows.h>
#include <mfidl.h>
#include <mfreadwrite.h>

struct MediaFoundation {
  HRESULT(WINAPI* startup)(ULONG version, DWORD flags) = nullptr;
  HRESULT(WINAPI* shutdown)() = nullptr;
  HRESULT(WINAPI* createMediaType)(IMFMediaType** type) = nullptr;
  HRESULT(WINAPI* createSourceReaderFromUrl)
  (LPCWSTR url, IMFAttributes* attributes, IMFSourceReader** reader) = nullptr;

  bool Loaded() const { return startup && shutdown && createMediaType && createSourceReaderFromUrl; }
};

// mfplat.dll and mfreadwrite.dll, loaded on the first call and kept.
const MediaFoundation& LoadMediaFoundation();

// COM's multithreaded apartment and Media Foundation, started on this
// thread for the object's life.
class MediaFoundationSession {
 public:
  explicit MediaFoundationSession(const MediaFoundation& library);
  ~MediaFoundationSession();
  MediaFoundationSession(const MediaFoundationSession&) = delete;
  MediaFoundationSession& operator=(const MediaFoundationSession&) = delete;

  // MFStartup's result.
  HRESULT Result() const { return m_started; }

 private:
  const MediaFoundation& m_library;
  HRESULT m_comInitialized;
  HRESULT m_started;
};
