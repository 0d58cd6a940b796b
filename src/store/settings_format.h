#pragma once
// The bytes of the settings file and the model they stand for: the five
// options and the event table. Lines end in CR LF when written; a bare LF
// ends a line too when read.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/event_entry.h"

// The options, named as in the file.
struct AppSettings {
  int Setup = 0;              // 1 once the settings dialog has been applied
  int BootOnNoSound = 0;      // silence the sounds at start-up
  int BootOnSoundChange = 0;  // reassign the sounds when the start-up wait ends
  int BootWaitTime = 0;       // start-up wait, seconds
  int Timer = 0;              // minutes between automatic changes; <= 0: none
  // Play the log-on, log-off, shutdown and unlock sounds, which Windows 8
  // and later no longer play. Written only when set, so that a file that
  // never set it keeps its bytes.
  int SessionSounds = 0;

  friend bool operator==(const AppSettings& a, const AppSettings& b) {
    return a.Setup == b.Setup && a.BootOnNoSound == b.BootOnNoSound && a.BootOnSoundChange == b.BootOnSoundChange &&
           a.BootWaitTime == b.BootWaitTime && a.Timer == b.Timer && a.SessionSounds == b.SessionSounds;
  }
};

// The value of the first line of the settings section (the lines before the
// first empty one) that begins with `key`, converted from one character
// after it like atoi; `defaultValue` when no line matches.
int ReadSetting(std::string_view bytes, std::string_view key, int defaultValue);

// The options from the settings section, with their defaults.
AppSettings ReadSettings(std::string_view bytes);

// The blocks after the settings section as a new table. True when a line
// could not be kept: a candidate that cannot be stored, or a line inside a
// group block.
bool ReadEventSection(std::string_view bytes, EventTable& table);

// Where the candidates' marks sit, by table index: in each pool, and in the
// file that FormatSettings wrote. Candidate j of entry i has its mark at
// files[marks[firstMark[i] + j]] and at firstLine[i] + that + j in the file
// (a '|' in the pool is a CR LF there). Each entry's marks end with one
// more offset, just past its last candidate.
struct MarkLayout {
  std::vector<std::uint32_t> firstMark;  // one more at the end
  std::vector<std::uint32_t> marks;
  std::vector<std::uint32_t> firstLine;

  int CandidateCount(size_t entry) const { return static_cast<int>(firstMark[entry + 1] - firstMark[entry]) - 1; }
};

// The canonical file for the model, written into `buffer` (grown when too
// small, kept otherwise, so that a save after a save allocates nothing),
// and where its marks sit. The view is valid until the buffer changes.
std::string_view FormatSettings(const AppSettings& settings, const EventTable& table, std::string& buffer,
                                MarkLayout& layout);

enum class ContentKind {
  Empty,
  NotSettings,  // no line of text at all: NUL bytes, UTF-16, binary, blank lines
  Cut,          // ends inside a line or a block, as an interrupted write leaves it
  Complete,     // ends with the empty line that closes a block or the options
};
ContentKind ClassifyContent(std::string_view bytes);
