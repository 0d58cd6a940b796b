#include "store/settings_format.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// "----- 本ファイルの仕様は、説明ファイルに記載しています -----" in code page
// 932: the file points its readers to the manual.
constexpr std::string_view kHeaderLine =
    "----- \x96\x7B\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8E\x64\x97\x6C\x82\xCD\x81\x41"
    "\x90\xE0\x96\xBE\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8B\x4C\x8D\xDA\x82\xB5\x82\xC4"
    "\x82\xA2\x82\xDC\x82\xB7 -----";

// The lines of a buffer as text mode reads them: a LF ends a line, and a CR
// right before it is not part of the line.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : m_text(text) {}

  bool Next(std::string_view& line) {
    if (m_pos >= m_text.size()) return false;
    const char* begin = m_text.data() + m_pos;
    size_t left = m_text.size() - m_pos;
    const char* lf = static_cast<const char*>(std::memchr(begin, '\n', left));
    if (!lf) {
      line = std::string_view(begin, left);
      m_pos = m_text.size();
      return true;
    }
    size_t length = static_cast<size_t>(lf - begin);
    m_pos += length + 1;
    if (length > 0 && begin[length - 1] == '\r') --length;
    line = std::string_view(begin, length);
    return true;
  }

  // Skips to the line after the next empty one (or to the end).
  void SkipPastEmptyLine() {
    std::string_view line;
    while (Next(line) && !line.empty()) continue;
  }

  size_t position() const { return m_pos; }

 private:
  std::string_view m_text;
  size_t m_pos = 0;
};

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi's rules, saturating instead of overflowing.
int ConvertLikeAtoi(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// The file being written into a buffer sized once from the model; it grows
// only if a pool held more candidates than its count says.
class Output {
 public:
  Output(std::string& buffer, size_t size) : m_text(buffer) {
    if (m_text.size() < size) m_text.resize(size);
  }

  void Line(std::string_view text) {
    size_t need = text.size() + 2;
    if (m_text.size() - m_used < need) m_text.resize(std::max(2 * m_text.size(), m_used + need));
    char* out = &m_text[m_used];
    // Word copies inline: most lines are short, and a call per line costs
    // more than the copy.
    const char* in = text.data();
    size_t left = text.size();
    for (; left >= 4; left -= 4, in += 4, out += 4) std::memcpy(out, in, 4);
    while (left--) *out++ = *in++;
    out[0] = '\r';
    out[1] = '\n';
    m_used += need;
  }

  void Setting(const char* key, int value) {
    char line[48];
    int length = std::snprintf(line, sizeof line, "%s=%d", key, value);
    Line(std::string_view(line, static_cast<size_t>(length)));
  }

  std::string_view Written() const { return std::string_view(m_text.data(), m_used); }

 private:
  std::string& m_text;
  size_t m_used = 0;
};

// A line a person or a program wrote as text: something printable, and no
// control byte but tab and CR (UTF-16 and binary files have NUL bytes).
bool IsTextLine(std::string_view line) {
  bool printable = false;
  for (char ch : line) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F) return false;
    printable = printable || c > 0x20;
  }
  return printable;
}

// A block read from the file. A block without a label takes its key as
// label; stray empty lines between blocks were passed over before it.
// `lines` holds the pool's lines while it is read, so that the pool is
// sized once (its lines, a '|' each, and maybe a mark each) without a
// second search for them.
EventEntry ReadBlock(std::string_view key, LineReader& reader, std::vector<std::string_view>& lines, bool& skipped) {
  EventEntry entry;
  entry.key = key;
  std::string_view line;
  bool blockEnded = !reader.Next(line) || line.empty();
  entry.label = line.empty() ? key : line;
  if (key[0] == '\\') entry.count = -1;
  if (blockEnded) return entry;

  lines.clear();
  size_t size = 0;
  while (reader.Next(line) && !line.empty()) {
    lines.push_back(line);
    size += line.size() + 2;
  }
  // A group has no pool: what stands in its block is not kept.
  if (entry.IsGroup()) {
    skipped = skipped || !lines.empty();
    return entry;
  }
  entry.files.Preallocate(static_cast<int>(size));
  for (std::string_view candidate : lines) skipped = !entry.AppendCandidate(candidate, false) || skipped;
  return entry;
}

}  // namespace

int ReadSetting(std::string_view bytes, std::string_view key, int defaultValue) {
  LineReader lines(bytes);
  std::string_view line;
  while (lines.Next(line) && !line.empty()) {
    if (line.substr(0, key.size()) == key) return ConvertLikeAtoi(line.substr(std::min(line.size(), key.size() + 1)));
  }
  return defaultValue;
}

AppSettings ReadSettings(std::string_view bytes) {
  AppSettings settings;
  settings.Setup = ReadSetting(bytes, "Setup", 0);
  settings.BootOnNoSound = ReadSetting(bytes, "BootOnNoSound", 0);
  settings.BootOnSoundChange = ReadSetting(bytes, "BootOnSoundChange", 1);
  settings.BootWaitTime = ReadSetting(bytes, "BootWaitTime", 0);
  settings.Timer = ReadSetting(bytes, "Timer", 0);
  settings.SessionSounds = ReadSetting(bytes, "SessionSounds", 0);
  return settings;
}

// A hand-edited file may break the block structure; it is read as far as it
// makes sense, so that the save that follows is canonical and the next load
// reads back the same table.
bool ReadEventSection(std::string_view bytes, EventTable& table) {
  table.clear();
  LineReader lines(bytes);
  lines.SkipPastEmptyLine();  // the settings section
  bool skipped = false;
  std::vector<std::string_view> pool;
  std::string_view key;
  while (lines.Next(key)) {
    if (!key.empty()) table.push_back(ReadBlock(key, lines, pool, skipped));
  }
  return skipped;
}

std::string_view FormatSettings(const AppSettings& settings, const EventTable& table, std::string& buffer,
                                MarkLayout& layout) {
  size_t size = kHeaderLine.size() + 2 + 6 * 32 + 2;
  for (const EventEntry& entry : table) {
    size += entry.key.GetLength() + entry.label.GetLength() + entry.files.GetLength() + 6;
    if (entry.count > 0) size += entry.count;  // each '|' becomes CR LF
  }
  Output out(buffer, size);
  out.Line(kHeaderLine);
  out.Setting("Setup", settings.Setup);
  out.Setting("BootOnNoSound", settings.BootOnNoSound);
  out.Setting("BootOnSoundChange", settings.BootOnSoundChange);
  out.Setting("BootWaitTime", settings.BootWaitTime);
  out.Setting("Timer", settings.Timer);
  if (settings.SessionSounds != 0) out.Setting("SessionSounds", settings.SessionSounds);
  out.Line("");
  layout.firstMark.clear();
  layout.marks.clear();
  layout.firstLine.clear();
  for (const EventEntry& entry : table) {
    out.Line(entry.key.view());
    out.Line(entry.label.view());
    layout.firstMark.push_back(static_cast<std::uint32_t>(layout.marks.size()));
    layout.firstLine.push_back(static_cast<std::uint32_t>(out.Written().size()));
    const char* pool = entry.files;
    std::uint32_t end = 0;
    entry.ForEachCandidate([&](std::string_view candidate) {
      layout.marks.push_back(static_cast<std::uint32_t>(candidate.data() - pool));
      end = static_cast<std::uint32_t>(candidate.data() - pool + candidate.size() + 1);
      out.Line(candidate);
    });
    layout.marks.push_back(end);
    out.Line("");
  }
  layout.firstMark.push_back(static_cast<std::uint32_t>(layout.marks.size()));
  return out.Written();
}

ContentKind ClassifyContent(std::string_view bytes) {
  if (bytes.empty()) return ContentKind::Empty;
  LineReader lines(bytes);
  std::string_view line;
  bool text = false;
  while (!text && lines.Next(line)) text = IsTextLine(line);
  if (!text) return ContentKind::NotSettings;
  size_t n = bytes.size();
  bool closed = (n >= 2 && bytes.compare(n - 2, 2, "\n\n") == 0) || (n >= 3 && bytes.compare(n - 3, 3, "\n\r\n") == 0);
  return closed ? ContentKind::Complete : ContentKind::Cut;
}
