// Benchmark of the shipped program, from outside, as users run it: no code
// of the program is linked in, only Win32 calls.
//  1. Load + save: CreateProcess of belltide.exe in a fresh folder holding a
//     generated BTD.CFG of 1,000, 10,000 or 100,000 candidates, until its
//     status window is visible (polled about every millisecond), less the
//     same for a one-candidate file; against CopyFileA plus one read of the
//     same file, and against one read of it, one write and one flush.
//  2. One reassignment (command 32774) of 1,000 events with 50 candidates,
//     then with one, on a running program; against the registry calls it
//     makes plus one write of the file, with and without FlushFileBuffers.
// Median and best of several rounds. Given two programs (an old and a new
// build), every figure is taken for both, interleaved round by round.
// It reports figures for people; it is no test. Run it in a throw-away Wine
// prefix: it writes and removes keys under HKEY_CURRENT_USER\AppEvents.
//   cmake --build build/i686 --target program_bench_win
//   tools/wine-exec build/i686/bench/program_bench_win.exe [--rounds N] PROGRAM [PROGRAM...]
// On a small VM run it under `taskset -c 0`: a registry call whose caller
// and Wine's server sit on different CPUs costs several times as much.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "bench_run.h"
#include "load_rounds_win.h"
#include "reassignment_rounds_win.h"
#include "sound_keys_win.h"
#include "timing_win.h"

namespace {

constexpr int kReassignedEvents = 1000;

int Usage() {
  std::fprintf(stderr, "usage: program_bench_win [--rounds N] PROGRAM [PROGRAM...]\n");
  return 2;
}

// A path the program can be started by from any folder. A Unix path is left
// for SetProgramPath, which maps it to Wine's Z: drive.
std::string FullPath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char full[MAX_PATH] = {};
  DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length && length < sizeof full ? std::string(full, length) : path;
}

std::string WineVersion() {
  FARPROC found = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
  if (!found) return "not Wine";
  auto version = reinterpret_cast<const char* (*)()>(reinterpret_cast<void (*)()>(found));
  return std::string("Wine ") + version();
}

}  // namespace

int main(int argc, char** argv) {
  BenchRun run;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc) {
      run.rounds = std::atoi(argv[++i]);
      if (run.rounds < 1) return Usage();
    } else if (!arg.empty() && arg[0] == '-' && arg.size() > 1) {
      return Usage();
    } else {
      run.programs.push_back({std::string(1, static_cast<char>('A' + run.programs.size())), FullPath(arg)});
    }
  }
  if (run.programs.empty() || run.programs.size() > 26) return Usage();

  std::printf("Belltide program benchmark: %d round%s; %s, code page %u\n", run.rounds, run.rounds == 1 ? "" : "s",
              WineVersion().c_str(), GetACP());
  for (const ProgramUnderTest& program : run.programs)
    std::printf("  %s = %s\n", program.label.c_str(), program.path.c_str());
  std::fflush(stdout);

  FineTimerResolution fineTimer;
  run.appEventsExisted = AppEventsExists();
  try {
    ScratchFolder folder("belltide-bench-" + std::to_string(GetCurrentProcessId()));
    run.folder = &folder;
    RunLoadRounds(run);
    std::fflush(stdout);
    RunReassignmentRounds(run, kReassignedEvents, 50);
    std::fflush(stdout);
    RunReassignmentRounds(run, kReassignedEvents, 1);
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "program_bench_win: %s\n", error.what());
    return 1;
  }
  return 0;
}
