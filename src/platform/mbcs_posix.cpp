#include "platform/mbcs.h"

namespace mbcs {

// Outside Windows there is no ANSI code page to ask: Belltide's is 932.
void FillLeadBytes(bool (&lead)[256]) {
  for (int c = 0; c < 256; ++c) lead[c] = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
}  // namespace mbcs
