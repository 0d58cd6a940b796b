// libFuzzer target for the settings file loader. Each input becomes the
// whole settings file; it is loaded (which ends with a canonical save), read
// back, loaded again and read back again. A load must reach a fixed point
// after one save, so the second file must equal the first byte for byte,
// and a line the loader drops must never go unreported: unless it kept a
// copy of the original bytes, every line of the input's blocks is in the
// table. Then reassignments run on it: a save of the marks alone must give
// the bytes of a full format. And the input, cut in two, is a journal and
// a settings file for the start-up's journal match.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>

#include "store/save_journal.h"
#include "store/settings_file.h"

namespace {

// The 60-byte header line in code page 932, kept apart from the loader's own
// copy so that a change there is caught here.
const char kHeader[] =
    "----- \x96\x7B\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8E\x64\x97\x6C\x82\xCD\x81\x41"
    "\x90\xE0\x96\xBE\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8B\x4C\x8D\xDA\x82\xB5\x82\xC4"
    "\x82\xA2\x82\xDC\x82\xB7 -----\r\n";
constexpr size_t kHeaderLength = sizeof kHeader - 1;
static_assert(kHeaderLength == 62, "60 bytes of header and CR LF");

std::string g_dir;
std::string g_path;

void RemoveTempDir() {
  ::unlink(g_path.c_str());
  ::unlink((g_dir + "/BTD_KEPT.CFG").c_str());
  ::rmdir(g_dir.c_str());
}

// One directory per process, made once: creating one per input would cost
// more than the load itself. tmpfs keeps the fsync of every save cheap.
void MakeTempDir() {
  std::string base = "/tmp";
  struct stat info;
  if (::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode)) {
    base = "/dev/shm";
  } else if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp) {
    base = tmp;
  }
  std::string pattern = base + "/belltide-fuzz-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::abort();
  }
  g_dir = pattern;
  g_path = g_dir + "/BTD.CFG";
  std::atexit(RemoveTempDir);
}

void WriteFile(const uint8_t* data, size_t size) {
  int fd = ::open(g_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written <= 0) std::abort();
    data += written;
    size -= static_cast<size_t>(written);
  }
  ::close(fd);
}

std::string ReadFile() {
  std::string bytes;
  int fd = ::open(g_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) std::abort();
  char buffer[64 * 1024];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(got));
  ::close(fd);
  return bytes;
}

// Opens the file as the application does at start-up and loads it. The
// copy of what it could not keep is removed, so that the next one is
// written under the same name.
std::string Load(SettingsFile& file, bool& keptCopy) {
  file.Close();
  if (!file.Open(g_path.c_str())) __builtin_trap();
  if (!file.LoadSettings()) __builtin_trap();  // only when its bytes could not be kept
  if (file.LastSaveFailed()) __builtin_trap();
  keptCopy = !file.KeptCopy().IsEmpty();
  if (keptCopy) ::unlink(file.KeptCopy());
  return ReadFile();
}

// The lines after the first empty one, as text mode reads them.
template <class Visit>
void ForEachBlockLine(std::string_view text, Visit visit) {
  bool inBlocks = false;
  while (!text.empty()) {
    size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (inBlocks && !line.empty()) visit(line);
    inBlocks = inBlocks || line.empty();
  }
}

// Every line of the blocks is a key, a label or a candidate of the table
// (a candidate maybe with the mark the loader gave it).
bool EveryLineKept(std::string_view input, const SettingsFile& file) {
  std::unordered_set<std::string_view> kept;
  for (const EventEntry& entry : file.table) {
    kept.insert(entry.key.view());
    kept.insert(entry.label.view());
    entry.ForEachCandidate([&](std::string_view candidate) {
      kept.insert(candidate);
      kept.insert(candidate.substr(1));
    });
  }
  bool all = true;
  ForEachBlockLine(input, [&](std::string_view line) { all = all && kept.count(line) > 0; });
  return all;
}

// Canonical: the header line, every line break CR LF, and the options and
// every block closed by an empty line.
bool IsCanonical(const std::string& bytes) {
  if (bytes.compare(0, kHeaderLength, kHeader, kHeaderLength) != 0) return false;
  if (bytes.size() < kHeaderLength + 4 || bytes.compare(bytes.size() - 4, 4, "\r\n\r\n") != 0) return false;
  for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
    if (bytes[i - 1] != '\r') return false;
  }
  return true;
}

// The counts the dialog shows must match the pools the loader built.
bool CountsMatchPools(const SettingsFile& file) {
  if (file.eventCount() < 0) return false;
  for (const EventEntry& entry : file.table) {
    if (entry.IsGroup()) {
      if (!entry.files.IsEmpty()) return false;
      continue;
    }
    int candidates = 0;
    entry.ForEachCandidate([&](std::string_view) { ++candidates; });
    if (candidates != entry.count) return false;
  }
  return true;
}

bool SameTable(const EventTable& a, const EventTable& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].key != b[i].key || a[i].label != b[i].label || a[i].count != b[i].count || a[i].files != b[i].files) {
      return false;
    }
  }
  return true;
}

// Picks in every pool and a save, a few times over: each save of the marks
// alone must write what a full format of the model writes.
bool MarksOnlySavesMatchAFullFormat(SettingsFile& file, unsigned seed) {
  std::srand(seed);
  std::string full;
  MarkLayout layout;
  for (int round = 0; round < 3; ++round) {
    for (size_t i = 0; i < file.table.size(); ++i) file.PickCandidate(i);
    if (!file.SaveSettings() || ReadFile() != FormatSettings(file.settings, file.table, full, layout)) return false;
  }
  return true;
}

// Arbitrary bytes as a journal must never be misread; and a real journal
// of a save from one half of the input to the other must finish any
// rewrite of it cut at a chunk, never call it an edit by hand.
bool JournalMatchHolds(std::string_view input) {
  if (input.empty()) return true;
  const size_t split = static_cast<size_t>(static_cast<unsigned char>(input[0])) * input.size() / 256;
  const std::string_view first = input.substr(1, split > 0 ? split - 1 : 0), second = input.substr(std::max<size_t>(split, 1));
  std::string_view saved;
  JournalMatch match = MatchJournal(first, second, saved);
  if (match == JournalMatch::Applied && saved != second) return false;

  std::string head, tail;
  const std::uint64_t oldTail = second.size() < first.size() ? ContentFingerprint::TailSum(first, second.size()) : 0;
  FormatJournal(ContentFingerprint(first), oldTail, ContentFingerprint(second), head, tail);
  const std::string journal = head + std::string(second) + tail;
  constexpr size_t kChunk = ContentFingerprint::kChunkSize;
  for (size_t cut = 0; cut <= second.size() + kChunk; cut += kChunk) {
    std::string torn(second.substr(0, std::min(cut, second.size())));
    if (cut < first.size()) torn += first.substr(torn.size());
    match = MatchJournal(journal, torn, saved);
    if (saved != second || (match != JournalMatch::Unfinished && match != JournalMatch::Applied)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  MakeTempDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFile(data, size);
  SettingsFile file;
  bool keptCopy = false;
  std::string first = Load(file, keptCopy);
  EventTable firstTable = file.table;
  if (!IsCanonical(first) || !CountsMatchPools(file)) __builtin_trap();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (!keptCopy && !EveryLineKept(input, file)) __builtin_trap();  // a line dropped silently

  std::string second = Load(file, keptCopy);
  if (second != first || keptCopy) __builtin_trap();  // the canonical file must round-trip exactly
  if (!CountsMatchPools(file) || !SameTable(firstTable, file.table)) __builtin_trap();
  if (!MarksOnlySavesMatchAFullFormat(file, static_cast<unsigned>(size))) __builtin_trap();
  if (!JournalMatchHolds(input)) __builtin_trap();
  return 0;
}
