#include "store/settings_file.h"

#include <climits>

namespace {

// "----- 本ファイルの仕様は、説明ファイルに記載しています -----" in code page
// 932: the file points its readers to the manual.
const char kHeaderLine[] =
    "----- \x96\x7B\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8E\x64\x97\x6C\x82\xCD\x81\x41"
    "\x90\xE0\x96\xBE\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8B\x4C\x8D\xDA\x82\xB5\x82\xC4"
    "\x82\xA2\x82\xDC\x82\xB7 -----";

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi's rules, saturating instead of overflowing.
int ConvertLikeAtoi(const CString& text) {
  int i = 0;
  while (i < text.GetLength() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.GetLength() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.GetLength() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void WriteSetting(CString& content, const char* key, int value) {
  CString line;
  line.Format("%s=%d\n", key, value);
  content += line;
}

}  // namespace

int SettingsFile::ReadSetting(const CString& key, int defaultValue) {
  SeekToBegin();
  CString line;
  while (ReadString(line) && !line.IsEmpty()) {
    if (line.Left(key.GetLength()) == key) return ConvertLikeAtoi(line.Mid(key.GetLength() + 1));
  }
  return defaultValue;
}

void SettingsFile::LoadSettings() {
  settings.Setup = ReadSetting("Setup", 0);
  settings.BootOnNoSound = ReadSetting("BootOnNoSound", 0);
  settings.BootOnSoundChange = ReadSetting("BootOnSoundChange", 1);
  settings.BootWaitTime = ReadSetting("BootWaitTime", 0);
  settings.Timer = ReadSetting("Timer", 0);
  if (GetLength() == 0) BuildEventCatalogue();
  ReadEventSection();
  SaveSettings();
}

// Reads the blocks after the settings section. A hand-edited file may break
// the block structure; it is read as far as it makes sense, so that the save
// that follows is canonical and the next load reads back the same table:
// stray empty lines are passed over, a block without a label takes its key
// as label, and a group block's extra lines are dropped.
void SettingsFile::ReadEventSection() {
  table.clear();
  SeekToBegin();
  CString line;
  while (ReadString(line) && !line.IsEmpty()) continue;  // the settings section
  CString key;
  while (ReadString(key)) {
    if (key.IsEmpty()) continue;
    EventEntry entry;
    entry.key = key;
    bool blockEnded = !ReadString(entry.label) || entry.label.IsEmpty();
    if (entry.label.IsEmpty()) entry.label = key;
    if (key[0] == '\\') entry.count = -1;
    while (!blockEnded && ReadString(line) && !line.IsEmpty()) {
      if (!entry.IsGroup()) entry.AppendCandidate(line, false);
    }
    table.push_back(std::move(entry));
  }
}

CString SettingsFile::FormatContent() const {
  CString content;
  content += kHeaderLine;
  content += '\n';
  WriteSetting(content, "Setup", settings.Setup);
  WriteSetting(content, "BootOnNoSound", settings.BootOnNoSound);
  WriteSetting(content, "BootOnSoundChange", settings.BootOnSoundChange);
  WriteSetting(content, "BootWaitTime", settings.BootWaitTime);
  WriteSetting(content, "Timer", settings.Timer);
  content += '\n';
  for (const EventEntry& entry : table) {
    content += entry.key;
    content += '\n';
    content += entry.label;
    content += '\n';
    entry.ForEachCandidate([&](const CString& candidate) {
      content += candidate;
      content += '\n';
    });
    content += '\n';
  }
  return content;
}

bool SettingsFile::SaveSettings() {
  CString content = FormatContent();
  m_lastSaveFailed = !(SetLength(0) && WriteString(content) && Flush());
  SeekToBegin();
  return !m_lastSaveFailed;
}
