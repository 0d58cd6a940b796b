#pragma once
// A save's journal (BTD_SAVE.CFG), rewritten in place by every save: a head,
// the new content, and the sums of the content the save replaces. The head
// holds a digest of all of it, so that a journal cut short or torn is known
// as such, and a state that turns to applied once the settings file holds
// the save. A journal still pending at a start is a save cut short; the
// old content's sums tell whether the settings file holds what the save
// was writing over or had begun to write (finished without a word), or
// bytes that someone wrote since (kept before the save is finished).

#include <cstdint>
#include <string>
#include <string_view>

#include "store/content_fingerprint.h"

// The head and the tail that surround the content in the journal of a save
// of `next` over the content `old` describes, pending. `oldTailSum` is the
// old content's TailSum from the new length, for a save that shortens it.
void FormatJournal(const ContentFingerprint& old, std::uint64_t oldTailSum, const ContentFingerprint& next,
                   std::string& head, std::string& tail);

// Where the state lies in the journal, and the byte that marks it applied.
constexpr size_t kJournalStateOffset = 8;
constexpr char kJournalApplied = 1;

enum class JournalMatch {
  Nothing,     // no save to finish: applied, cut short while written, or not a journal
  Applied,     // pending, but the file holds the new content
  Unfinished,  // the old content, or a rewrite from it to the new one cut short
  Changed,     // anything else: bytes written after the save was cut short
};

// What `current` is to the save recorded in `journal`; `saved` receives the
// content that finishes it. An earlier version's journal is the new content
// alone, always whole; nothing but that is known of it.
JournalMatch MatchJournal(std::string_view journal, std::string_view current, std::string_view& saved);
