#include "platform/mbcs.h"

#include <windows.h>

bool mbcs::IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }
