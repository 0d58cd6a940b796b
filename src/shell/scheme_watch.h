#pragma once
// Watches the current user's sound schemes (AppEvents\Schemes and all below
// it) for changes of anyone's making, at no cost at rest: the registry
// signals an event that the window's modal loop waits on beside its
// messages. A burst of writes (a scheme applied writes hundreds of values)
// is one change: the window's one-shot timer reports it after a second of
// quiet, and only then is the registry compared with what Belltide itself
// last wrote.

#include <windows.h>

#include <utility>

#include "platform/win/unique_handle.h"
#include "schemes/sounds_in_force.h"

class SchemeWatch {
 public:
  // The quiet is timed by timer `quietTimer` of the window.
  explicit SchemeWatch(UINT_PTR quietTimer) : m_quietTimer(quietTimer) {}

  // Registers the watch for `window`, from the thread that waits on
  // Signal(), so that no REG_NOTIFY_THREAD_AGNOSTIC is needed; false when
  // the registry refuses it (then nothing is ever reported).
  bool Start(HWND window);
  // Signalled on a change; reset by the wait that sees it.
  HANDLE Signal() const { return m_signal.get(); }

  // The signal was seen: the watch is armed again, the quiet restarts.
  void OnSignalled();
  // Timer `quietTimer` fired: the burst is over. What someone else changed
  // since Belltide's last write or the last change reported.
  OutsideChange OnQuiet();

  // What Belltide wrote, or found at its start.
  void Record(SoundsInForce inForce) { m_inForce = std::move(inForce); }
  // The registry against the record now.
  OutsideChange CompareNow() const { return m_inForce.Compare(); }

 private:
  bool Arm();

  HWND m_window = nullptr;
  UINT_PTR m_quietTimer;
  UniqueKernelObject m_signal;
  UniqueRegistryKey m_key;  // closed first: the pending notification ends before its event
  SoundsInForce m_inForce;
};
