#pragma once
// The settings dialog's list of an event's candidates: owner-drawn, each
// line the stored path, greyed with a remark when Windows may not play the
// file. Files are checked only as their lines are drawn.

#include "platform/win/controls.h"
#include "store/event_entry.h"

class CCandidateList : public CListBox {
 public:
  // Drops on the list go to its parent, which handles them for the dialog.
  void ForwardDropsToParent() const;
  // The prompt to pick an event, in place of candidates, the list disabled.
  void ShowPrompt(const char* prompt) const;
  // Drawn once at the end: a pool may hold thousands of lines.
  void Fill(const EventEntry& entry) const;
  // Lets the list scroll to the end of the widest of `entry`'s lines.
  void FitExtent(const EventEntry& entry) const;
  // What the list shows after line `line`'s path: why Windows may not play
  // its file; empty when it can. The file is checked when first asked, and
  // not again until the list is filled anew.
  CString Remark(int line) const;
  void DrawItem(const DRAWITEMSTRUCT& item) const;
};
