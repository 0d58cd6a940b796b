#pragma once
// Resource ids of the framework's own strings, kept in the program's .rc.

#define AFX_IDS_APP_TITLE 0xE000  // the caption of the program's message boxes
#define IDP_PARSE_INT 0xF110      // a number field does not hold a whole number
