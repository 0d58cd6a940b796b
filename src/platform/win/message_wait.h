#pragma once
// The modal loops' one wait: for the thread's next message, or for a kernel
// object that the loop watches beside its messages. It never wakes on its
// own, so a loop at rest costs nothing.

#include <windows.h>

// Returns once a message is in the thread's queue (sent messages are left
// for the caller's PeekMessage) or `object` is signalled, which an
// auto-reset object is reset by; true for the object. With `object` null,
// only messages end the wait.
bool WaitForMessageOrSignal(HANDLE object);
