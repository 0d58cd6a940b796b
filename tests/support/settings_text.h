#pragma once
// Settings files and save journals written out for the core's tests.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "cp932.h"
#include "store/save_journal.h"

// The 60-byte header line in code page 932.
inline std::string Header() { return Cp932("----- 本ファイルの仕様は、説明ファイルに記載しています -----"); }

// `text` with every LF written as CR LF, as the program writes lines.
inline std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The five option lines, in the program's order, each ended by LF.
inline std::string Options(int setup, int noSound, int change, int wait, int timer) {
  return "Setup=" + std::to_string(setup) + "\nBootOnNoSound=" + std::to_string(noSound) +
         "\nBootOnSoundChange=" + std::to_string(change) + "\nBootWaitTime=" + std::to_string(wait) +
         "\nTimer=" + std::to_string(timer) + "\n";
}

// An application group's block of a settings file: key and label.
inline std::string GroupBlock(const std::string& key, const std::string& label) {
  return key + "\r\n" + label + "\r\n\r\n";
}

// An event's block: key, label and its candidates, each with its mark.
inline std::string EventBlock(const std::string& key, const std::string& label,
                              std::initializer_list<std::string> candidates) {
  std::string block = key + "\r\n" + label + "\r\n";
  for (const std::string& candidate : candidates) block += candidate + "\r\n";
  return block + "\r\n";
}

// A canonical settings file of `candidates` lines in three events, each
// line's mark '+' where `picked` says so: several 512-byte chunks. `timer`
// tells two files of one length apart.
inline std::string Pools(int candidates, bool (*picked)(int), int timer = 0) {
  std::string text = Crlf(Header() + "\n" + Options(1, 0, 1, 0, timer) + "\n\\App\nApp\n\n");
  for (int n = 0; n < candidates; ++n) {
    if (n % (candidates / 3 + 1) == 0) text += "Ev" + std::to_string(n) + "\r\nEvent\r\n";
    text += (picked(n) ? "+" : "-") + std::string("C:\\Sounds\\chime_") + std::to_string(n) + ".wav\r\n";
    if ((n + 1) % (candidates / 3 + 1) == 0 || n + 1 == candidates) text += "\r\n";
  }
  return text;
}

// The journal a save from `old` to `saved` writes, pending.
inline std::string Journal(const std::string& old, const std::string& saved) {
  std::string head, tail;
  std::uint64_t oldTail = saved.size() < old.size() ? ContentFingerprint::TailSum(old, saved.size()) : 0;
  FormatJournal(ContentFingerprint(old), oldTail, ContentFingerprint(saved), head, tail);
  return head + saved + tail;
}
