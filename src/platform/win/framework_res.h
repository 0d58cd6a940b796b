#pragma once
// Resource ids of the framework's own strings, kept in the program's .rc.

#define IDP_PARSE_INT 0xF110  // a number field does not hold a whole number
