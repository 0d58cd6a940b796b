// Time of one reassignment (AssignRandomSounds) of 1,000 events with 50
// candidates each in the real registry, against its floor: the same key
// create, set-value and close calls made directly, on the same keys, with
// values of the same lengths. The ratio of the medians is what the picks,
// the path building and the facade add to the registry calls themselves.
// A Windows program, timed with QueryPerformanceCounter; not a test.
//   cmake --build build/x86_64 --target reassign_bench_win
//   tools/wine-exec build/x86_64/bench/reassign_bench_win.exe [repetitions]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "schemes/sound_schemes.h"
#include "store/event_entry.h"

namespace {

constexpr int kGroups = 20;
constexpr int kEventsPerGroup = 50;
constexpr int kCandidatesPerEvent = 50;
constexpr int kDefaultRepetitions = 15;

// A path of 55 bytes, distinct for every candidate.
std::string CandidatePath(int n) {
  char path[96];
  std::snprintf(path, sizeof path, "C:\\Users\\Public\\Music\\Sounds\\Library%02d\\chime_%06d.wav", n % 37, n);
  return path;
}

EventTable BuildTable() {
  EventTable table;
  int serial = 0;
  for (int g = 0; g < kGroups; ++g) {
    char name[32];
    std::snprintf(name, sizeof name, "BenchApp%02d", g);
    EventEntry group;
    group.label = name;
    group.key = CString("\\") + name;
    group.count = -1;
    table.push_back(group);
    for (int e = 0; e < kEventsPerGroup; ++e) {
      std::snprintf(name, sizeof name, "BenchEvent%02d", e);
      EventEntry event;
      event.label = name;
      event.key = name;
      for (int c = 0; c < kCandidatesPerEvent; ++c) event.AppendCandidate(CandidatePath(serial++).c_str(), false);
      table.push_back(event);
    }
  }
  return table;
}

// One write of the floor: an event's .Current key and a value of the length
// the reassignment writes there.
struct RawWrite {
  std::string path;
  std::string value;
};

// Calls visit(group, event) for each event of an application group.
template <class Table, class Visit>
void ForEachApplicationEvent(Table& table, Visit visit) {
  const EventEntry* group = nullptr;
  for (auto& entry : table) {
    if (entry.IsGroup())
      group = &entry;
    else if (group)
      visit(*group, entry);
  }
}

// The key the core writes an application event's sound to.
CString KeyPath(const EventEntry& group, const EventEntry& event) {
  return "AppEvents\\Schemes\\Apps" + group.key + "\\" + event.key + "\\.Current";
}

std::vector<RawWrite> RawWrites(const EventTable& table) {
  std::vector<RawWrite> writes;
  ForEachApplicationEvent(table, [&](const EventEntry& group, const EventEntry& event) {
    writes.push_back({KeyPath(group, event).str(), event.GetCandidate(0).Mid(1).str()});
  });
  return writes;
}

// Calls that failed in the floor; a failed call would make it look cheaper.
int g_failures = 0;

void SetDefault(HKEY key, const std::string& value) {
  if (RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    ++g_failures;
}

void WriteFloor(const std::vector<RawWrite>& writes) {
  static const std::string kCurrent = ".Current";
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "AppEvents\\Schemes", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    SetDefault(key, kCurrent);
    RegCloseKey(key);
  } else {
    ++g_failures;
  }
  for (const RawWrite& write : writes) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, write.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      ++g_failures;
      continue;
    }
    SetDefault(key, write.value);
    RegCloseKey(key);
  }
}

// What a reassignment does besides the registry calls, each timed alone.
void PickOnly(EventTable& table) {
  ForEachApplicationEvent(table, [](const EventEntry&, EventEntry& event) {
    if (event.PickCandidate().IsEmpty()) ++g_failures;
  });
}

void BuildPathsOnly(const EventTable& table) {
  ForEachApplicationEvent(table, [](const EventEntry& group, const EventEntry& event) {
    if (KeyPath(group, event).IsEmpty()) ++g_failures;  // keeps the string from being optimised away
  });
}

double Frequency() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart);
}

template <class Run>
double TimeMs(Run run) {
  static const double kFrequency = Frequency();
  LARGE_INTEGER begin, end;
  QueryPerformanceCounter(&begin);
  run();
  QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - begin.QuadPart) * 1000.0 / kFrequency;
}

struct Stats {
  double median;
  double min;
};

Stats Summarise(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  size_t n = ms.size();
  double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
  return {median, ms.front()};
}

void Report(const char* name, const Stats& s) {
  std::printf("  %-24s median %8.3f ms   min %8.3f ms\n", name, s.median, s.min);
}

// Empties an event's value, reassigns, and reads the value back: a check,
// outside the timings, that the reassignment writes where the floor does.
bool ReassignmentWrites(EventTable& table, const RawWrite& write) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, write.path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
  SetDefault(key, "");
  RegCloseKey(key);
  AssignRandomSounds(table);
  char buffer[128];
  DWORD size = sizeof buffer;
  return RegGetValueA(HKEY_CURRENT_USER, write.path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) ==
             ERROR_SUCCESS &&
         size == write.value.size() + 1;
}

}  // namespace

int main(int argc, char** argv) {
  int repetitions = argc > 1 ? std::atoi(argv[1]) : kDefaultRepetitions;
  if (repetitions < 1) repetitions = kDefaultRepetitions;
  std::srand(1);  // the same picks on every run

  EventTable table = BuildTable();
  const std::vector<RawWrite> writes = RawWrites(table);
  std::printf("%d events in %d groups, %d candidates each; %d repetitions\n", static_cast<int>(writes.size()), kGroups,
              kCandidatesPerEvent, repetitions);

  // Warm-up: the reassignment creates every key (and AppEvents\Schemes),
  // so from here on both variants only open existing keys.
  double firstReassign = TimeMs([&] { AssignRandomSounds(table); });
  double firstFloor = TimeMs([&] { WriteFloor(writes); });
  std::printf("warm-up: reassignment %.3f ms (keys created), floor %.3f ms\n", firstReassign, firstFloor);
  if (!ReassignmentWrites(table, writes.back())) {
    std::fprintf(stderr, "the reassignment did not write %s\n", writes.back().path.c_str());
    return 1;
  }

  // Alternating, so that drift in the machine's load hits both alike.
  std::vector<double> reassign, floor, picks, paths;
  for (int i = 0; i < repetitions; ++i) {
    reassign.push_back(TimeMs([&] { AssignRandomSounds(table); }));
    floor.push_back(TimeMs([&] { WriteFloor(writes); }));
    picks.push_back(TimeMs([&] { PickOnly(table); }));
    paths.push_back(TimeMs([&] { BuildPathsOnly(table); }));
  }
  if (g_failures) {
    std::fprintf(stderr, "%d calls failed: the figures mean nothing\n", g_failures);
    return 1;
  }

  Stats r = Summarise(reassign), f = Summarise(floor);
  Stats p = Summarise(picks), b = Summarise(paths);
  std::printf("per reassignment of %d events:\n", static_cast<int>(writes.size()));
  Report("reassignment", r);
  Report("floor (raw Win32 calls)", f);
  std::printf("  ratio of medians        %.2fx (min/min %.2fx)\n", r.median / f.median, r.min / f.min);
  std::printf("besides the registry calls (%.3f ms between the medians), each timed alone:\n", r.median - f.median);
  Report("picks", p);
  Report("key paths", b);
  return 0;
}
