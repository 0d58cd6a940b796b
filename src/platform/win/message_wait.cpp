#include "platform/win/message_wait.h"

namespace {

// MWMO_INPUTAVAILABLE: a message that arrived before the wait, and that the
// last PeekMessage already saw, ends it too.
DWORD Wait(DWORD count, const HANDLE* objects) {
  return MsgWaitForMultipleObjectsEx(count, objects, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace

bool WaitForMessageOrSignal(HANDLE object) {
  if (!object) return Wait(0, nullptr), false;
  const DWORD result = Wait(1, &object);
  if (result == WAIT_FAILED) Wait(0, nullptr);  // a handle gone bad must not make the loop spin
  return result == WAIT_OBJECT_0;
}
