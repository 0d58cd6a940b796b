// Load and save times of the settings file as its pools grow. The files are
// in canonical form, so a load needs no save; the save figures are a full
// save alone (the table counts as edited), journal and all. The
// per-candidate time shows whether the cost grows faster than the file.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "store/settings_file.h"

namespace {

enum class Shape {
  kManyEvents,  // groups of 50 events, 20 candidates each
  kOnePool,     // every candidate in one event
};

constexpr int kCandidatesPerEvent = 20;
constexpr int kEventsPerGroup = 50;

const char kHeader[] =
    "----- \x96\x7B\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8E\x64\x97\x6C\x82\xCD\x81\x41"
    "\x90\xE0\x96\xBE\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8B\x4C\x8D\xDA\x82\xB5\x82\xC4"
    "\x82\xA2\x82\xDC\x82\xB7 -----";

// A path of about 55 bytes, distinct for every candidate.
std::string CandidatePath(int n) {
  char path[96];
  std::snprintf(path, sizeof path, "C:\\Users\\Public\\Music\\Sounds\\Library%02d\\chime_%06d.wav", n % 37, n);
  return path;
}

// The file in canonical form, so that a load leaves it unchanged.
std::string CanonicalContent(int candidates, Shape shape) {
  std::string text =
      std::string(kHeader) + "\nSetup=1\nBootOnNoSound=0\nBootOnSoundChange=1\nBootWaitTime=10\nTimer=90\n\n";
  int perEvent = shape == Shape::kOnePool ? candidates : kCandidatesPerEvent;
  for (int n = 0, event = 0; n < candidates; ++event) {
    if (event % kEventsPerGroup == 0) text += "\\App" + std::to_string(event / kEventsPerGroup) + "\nApplication\n\n";
    text += "Event" + std::to_string(event) + "\nEvent label\n";
    for (int i = 0; i < perEvent && n < candidates; ++i, ++n) text += (n % 3 ? "-" : "+") + CandidatePath(n) + "\n";
    text += "\n";
  }
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

// A settings file in a fresh temp directory, removed afterwards.
class TempSettingsFile {
 public:
  explicit TempSettingsFile(const std::string& content) {
    struct stat info;
    std::string base = ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/belltide-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    m_dir = pattern;
    m_path = m_dir + "/BTD.CFG";
    std::ofstream(m_path, std::ios::binary) << content;
  }
  ~TempSettingsFile() {
    ::unlink(m_path.c_str());
    ::rmdir(m_dir.c_str());
  }
  TempSettingsFile(const TempSettingsFile&) = delete;
  TempSettingsFile& operator=(const TempSettingsFile&) = delete;

  const char* path() const { return m_path.c_str(); }

 private:
  std::string m_dir;
  std::string m_path;
};

void ReportPerCandidate(benchmark::State& state, int candidates, size_t bytes) {
  state.SetItemsProcessed(state.iterations() * candidates);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
  // Seconds per candidate: the rate of candidates, inverted.
  state.counters["per_candidate"] =
      benchmark::Counter(candidates, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A canonical settings file of state.range(0) candidates, open; the
// benchmark is skipped when it cannot be opened.
struct OpenSettingsFile {
  OpenSettingsFile(benchmark::State& state, Shape shape)
      : candidates(static_cast<int>(state.range(0))), content(CanonicalContent(candidates, shape)), temp(content) {
    if (!file.Open(temp.path())) state.SkipWithError("cannot open the settings file");
  }

  int candidates;
  std::string content;
  TempSettingsFile temp;
  SettingsFile file;
};

void BM_LoadSettings(benchmark::State& state, Shape shape) {
  OpenSettingsFile open(state, shape);
  if (!open.file.IsOpen()) return;
  for (auto _ : state) {
    open.file.LoadSettings();
    benchmark::DoNotOptimize(open.file.table.data());
  }
  if (open.file.LastSaveFailed() || open.file.GetLength() != static_cast<long long>(open.content.size())) {
    state.SkipWithError("the load did not leave the canonical file unchanged");
  }
  ReportPerCandidate(state, open.candidates, open.content.size());
}

void BM_SaveSettings(benchmark::State& state, Shape shape) {
  OpenSettingsFile open(state, shape);
  if (!open.file.IsOpen()) return;
  open.file.LoadSettings();
  for (auto _ : state) {
    open.file.settings.Timer ^= 1;  // a content of the same length, written whole
    if (!open.file.SaveSettings()) {
      state.SkipWithError("save failed");
      break;
    }
  }
  ReportPerCandidate(state, open.candidates, open.content.size());
}

// A small and a large file, timed by the wall clock (the work is mostly I/O).
void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK_CAPTURE(BM_LoadSettings, many_events, Shape::kManyEvents)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_LoadSettings, one_pool, Shape::kOnePool)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SaveSettings, many_events, Shape::kManyEvents)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SaveSettings, one_pool, Shape::kOnePool)->Apply(Sizes);

BENCHMARK_MAIN();
