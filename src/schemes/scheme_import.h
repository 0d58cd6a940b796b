#pragma once
// The sound schemes registered for the current user, and their merge into
// the candidate pools.

#include <vector>

#include "platform/cstring.h"
#include "store/event_entry.h"

struct SchemeName {
  CString displayName;  // may be empty
  CString keyName;      // below AppEvents\Schemes\Names
};

// The registered schemes in the registry's order, without ".None" (in any
// letter case). Names too long for the 128-byte buffers are left out; the
// enumeration ends at a key name that does not fit.
std::vector<SchemeName> ListSchemes();

// Appends to each application event the file that scheme `schemeKey`
// assigns to it, unless its pool holds that exact path already; a file whose
// path the code page cannot spell comes by its short path. Events of
// registry groups, or before the first group, get nothing; so do values that
// do not fit the 128-byte buffer even so, or that hold '|' or a line break.
void ImportScheme(EventTable& table, const CString& schemeKey);

// The list text of a scheme: its display name padded to 100 bytes, then its
// key name; a longer display name is cut at a character boundary so that
// SchemeKeyOfItem finds the key.
CString SchemeItemText(const SchemeName& scheme);
CString SchemeKeyOfItem(const CString& itemText);
// The display name part of a list text, with the blanks that pad it.
CString SchemeNameOfItem(const CString& itemText);
