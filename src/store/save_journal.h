#pragma once
// A save's journal (BTD_SAVE.CFG): the new content, then a trailer that
// describes the content the save replaces. A journal outlives only a save
// cut short; the next start finishes that save, and the trailer tells it
// whether the settings file holds what the save was writing over or had
// begun to write (finished without a word), or bytes that someone wrote
// since (kept before the save is finished).

#include <cstdint>
#include <string>
#include <string_view>

#include "store/content_fingerprint.h"

// The trailer of a save that replaces the content `old` describes with
// `newLength` bytes, written into `trailer`. `oldTailSum` is the old
// content's TailSum from `newLength`, for a save that shortens it.
void FormatJournalTrailer(const ContentFingerprint& old, std::uint64_t oldTailSum, size_t newLength,
                          std::string& trailer);

enum class JournalMatch {
  Applied,     // the file holds the new content
  Unfinished,  // the old content, or a rewrite from it to the new one cut short
  Changed,     // anything else: bytes written after the save was cut short
};

// What `current` is to the save recorded in `journal`; `saved` receives the
// content that finishes it. A journal without a trailer (written by an
// earlier version) holds only the new content: nothing but that is known.
JournalMatch MatchJournal(std::string_view journal, std::string_view current, std::string_view& saved);
