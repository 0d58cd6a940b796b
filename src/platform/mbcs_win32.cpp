#include "platform/mbcs.h"

#include <windows.h>

namespace mbcs {

void FillLeadBytes(bool (&lead)[256]) {
  CPINFO info = {};
  if (!GetCPInfo(CP_ACP, &info)) return;
  // Pairs of inclusive ranges, ended by a pair of zeros.
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2) {
    for (int c = info.LeadByte[i]; c <= info.LeadByte[i + 1]; ++c) lead[c] = true;
  }
}
}  // namespace mbcs
