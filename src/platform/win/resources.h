#pragma once
// The module's own dialogs, menus and strings in the language the program
// chose for its user interface. Each lookup names that language itself
// rather than leaving it to the thread's UI language, which Windows 7 to 11
// and Wine each settle in their own way.

#include <windows.h>

#include "platform/cstring.h"

// The language of every later lookup; until set, Windows picks one.
void SetResourceLanguage(LANGID language);

// Dialog template `id` in that language, or in any the module has.
const DLGTEMPLATE* FindDialogTemplate(UINT id);

// Menu `id` in that language, or in any; the caller destroys it.
HMENU LoadMenuResource(UINT id);

// String `id` in that language (or any), in the ANSI code page; empty when
// the module has none.
CString LoadResString(UINT id);
