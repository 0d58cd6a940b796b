#pragma once
// One mapping from a wave check to the words the candidate list and the
// message of left-out files put after a path.

#include <windows.h>

#include "platform/cstring.h"
#include "schemes/wave_check.h"

// A reason as the list and the messages put it after a path.
CString Remark(UINT reasonId);

// Why Windows may not play a file, as the list and the messages say it.
UINT ReasonOf(WaveCheck check);
