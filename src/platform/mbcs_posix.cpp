#include "platform/mbcs.h"

// Outside Windows there is no ANSI code page to ask: Belltide's is 932.
bool mbcs::IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
