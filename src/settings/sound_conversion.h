#pragma once
// Sound files made into wave files in the folder of converted sounds, one
// after the other on a worker thread, which the UI thread watches.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/cstring.h"
#include "platform/win/unique_handle.h"
#include "settings/sound_decoder.h"

struct ConvertedSound {
  std::wstring source;  // as given
  CString path;         // the stored path of its wave file; empty when it failed
  UINT reason = 0;      // why it failed (IDS_REASON_*)
};

class SoundConversion {
 public:
  // Starts the worker on `sources`; `folder` is made when first needed.
  SoundConversion(std::vector<std::wstring> sources, CString folder, SoundDecoder decoder);
  // Cancels what is left and waits for the file at work.
  ~SoundConversion();
  SoundConversion(const SoundConversion&) = delete;
  SoundConversion& operator=(const SoundConversion&) = delete;

  // Stops after the file at work, which is given up.
  void Cancel() { m_cancel = true; }
  bool Cancelled() const { return m_cancel; }
  bool Done() const { return m_done; }
  // Set once the worker is done.
  HANDLE DoneEvent() const { return m_doneEvent.get(); }
  void Wait() const { WaitForSingleObject(m_doneEvent.get(), INFINITE); }
  // Files finished, of how many, and the one at work.
  void Progress(std::size_t& finished, std::size_t& total, std::wstring& current) const;
  // Once Done: each file finished, in the order given.
  const std::vector<ConvertedSound>& Results() const { return m_results; }
  // Once Done: Windows had no Media Foundation to decode with.
  bool NoMediaFoundation() const { return m_noMediaFoundation; }

 private:
  void Run();
  ConvertedSound Convert(const std::wstring& source);

  const std::vector<std::wstring> m_sources;
  const CString m_folder;
  const SoundDecoder m_decoder;
  std::atomic<bool> m_cancel{false};
  std::atomic<bool> m_done{false};
  UniqueKernelObject m_doneEvent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  bool m_noMediaFoundation = false;
  mutable std::mutex m_mutex;  // guards m_results while the worker runs
  std::vector<ConvertedSound> m_results;
  std::thread m_worker;  // last: starts once the rest is built
};
