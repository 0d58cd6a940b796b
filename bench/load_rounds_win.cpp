#include "load_rounds_win.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "floors_win.h"
#include "generated_settings.h"
#include "report_format.h"
#include "started_program_win.h"
#include "timing_win.h"

namespace {

constexpr int kCandidatesPerEvent = 50;

// One file the programs start on, and its rounds.
struct StartFile {
  GeneratedSettings settings;
  std::vector<double> floorMs;               // per round
  std::vector<double> saveFloorMs;           // per round
  std::vector<std::vector<double>> shownMs;  // per program, per round
};

// What went wrong in the starts of one program; the figures still stand.
struct Trouble {
  int notRewritten = 0;
  int badEnds = 0;
};

// Starts `program` on a fresh copy of `settings` in a folder of its own; the
// time until its status window showed. The floor, if wanted, is timed just
// before, in the same folder.
double TimeStart(const BenchRun& run, const ProgramUnderTest& program, const GeneratedSettings& settings,
                 const std::string& folderName, Trouble& trouble, std::vector<double>* floorMs,
                 std::vector<double>* saveFloorMs) {
  ScratchFolder folder(folderName, run.folder);
  const std::string file = folder.File("BTD.CFG");
  if (!WriteWholeFile(file, settings.content, false)) throw std::runtime_error("cannot write " + file);
  if (floorMs) {
    const std::string copy = folder.File("floor-copy.cfg");
    bool ok = false;
    floorMs->push_back(TimeMs([&] { ok = CopyAndReadOnce(file, copy); }));
    if (!ok) throw std::runtime_error("the load floor failed in " + folder.path());
    DeleteFileA(copy.c_str());
  }
  if (saveFloorMs) {
    const std::string copy = folder.File("floor-save.cfg");
    bool ok = false;
    saveFloorMs->push_back(TimeMs([&] { ok = ReadOnceWriteAndFlushOnce(file, copy); }));
    if (!ok) throw std::runtime_error("the save floor failed in " + folder.path());
    DeleteFileA(copy.c_str());
  }
  StartedProgram started(program.path, folder.path());
  if (!started.rewroteSettings()) ++trouble.notRewritten;
  if (started.End() != 0) ++trouble.badEnds;
  return started.msToShown();
}

void PrintReport(const BenchRun& run, const std::vector<StartFile>& files, const std::vector<Trouble>& trouble) {
  std::printf(
      "\nLoad + save: from the start of CreateProcess until the status window is visible;\n"
      "load+save is that less the same for the one-candidate file (medians less\n"
      "medians, best less best). Floor: CopyFileA of the file plus one full read of it\n"
      "(CreateFileA + ReadFile), in the same folder. Save floor: one read of the file, one\n"
      "write of it to another file and FlushFileBuffers.\n");
  std::printf("  %10s %10s  %-4s %17s %17s %17s %17s %17s %17s %17s\n", "candidates", "bytes", "prog",
              "start to shown ms", "load+save ms", "floor ms", "ratio to floor", "save floor ms", "ratio to it",
              "us per candidate");
  std::printf("  %10s %10s  %-4s", "", "", "");
  for (int column = 0; column < 7; ++column) std::printf(" %8s %8s", "median", "best");
  std::printf("\n");
  const size_t programs = run.programs.size();
  std::vector<Summary> one(programs);
  for (size_t p = 0; p < programs; ++p) one[p] = Summarise(files.front().shownMs[p]);
  for (const StartFile& file : files) {
    const int candidates = file.settings.candidates;
    const Summary floor = Summarise(file.floorMs), saveFloor = Summarise(file.saveFloorMs);
    std::vector<Summary> loadSave(programs);
    for (size_t p = 0; p < programs; ++p) {
      const Summary shown = Summarise(file.shownMs[p]);
      std::printf("  %10s %10s  %-4s %8.2f %8.2f", p ? "" : Thousands(candidates).c_str(),
                  p ? "" : Thousands(static_cast<long long>(file.settings.content.size())).c_str(),
                  run.programs[p].label.c_str(), shown.median, shown.best);
      if (candidates == 1) {
        std::printf("\n");
        continue;
      }
      loadSave[p] = {shown.median - one[p].median, shown.best - one[p].best};
      std::printf(" %8.2f %8.2f %8.2f %8.2f %8s %8s %8.2f %8.2f %8s %8s %8.2f %8.2f\n", loadSave[p].median,
                  loadSave[p].best, floor.median, floor.best, Ratio(loadSave[p].median, floor.median, 1).c_str(),
                  Ratio(loadSave[p].best, floor.best, 1).c_str(), saveFloor.median, saveFloor.best,
                  Ratio(loadSave[p].median, saveFloor.median, 1).c_str(),
                  Ratio(loadSave[p].best, saveFloor.best, 1).c_str(), loadSave[p].median * 1000.0 / candidates,
                  loadSave[p].best * 1000.0 / candidates);
    }
    if (candidates == 1) continue;
    for (size_t p = 1; p < programs; ++p)
      std::printf(
          "  %10s %10s  %-4s %17s %8s %8s\n", "", "", (run.programs[p].label + "/" + run.programs[0].label).c_str(), "",
          Ratio(loadSave[p].median, loadSave[0].median).c_str(), Ratio(loadSave[p].best, loadSave[0].best).c_str());
  }
  for (size_t p = 0; p < programs; ++p) {
    if (trouble[p].notRewritten)
      std::printf("  note: %s had not rewritten BTD.CFG when its window showed, in %d starts\n",
                  run.programs[p].label.c_str(), trouble[p].notRewritten);
    if (trouble[p].badEnds)
      std::printf("  note: %s did not end cleanly on its exit command in %d starts\n", run.programs[p].label.c_str(),
                  trouble[p].badEnds);
  }
}

}  // namespace

void RunLoadRounds(const BenchRun& run) {
  const size_t programs = run.programs.size();
  std::vector<StartFile> files;
  files.push_back({GenerateSettings(1, 1), {}, {}, std::vector<std::vector<double>>(programs)});
  for (int candidates : {1000, 10000, 100000})
    files.push_back({GenerateSettings(candidates / kCandidatesPerEvent, kCandidatesPerEvent),
                     {},
                     {},
                     std::vector<std::vector<double>>(programs)});
  std::vector<Trouble> trouble(programs);

  // The first start of each program loads its DLLs from cold.
  for (const ProgramUnderTest& program : run.programs) {
    Trouble ignored;
    TimeStart(run, program, files.front().settings, "warm-up-" + program.label, ignored, nullptr, nullptr);
  }

  for (int round = 1; round <= run.rounds; ++round) {
    std::fprintf(stderr, "load + save: round %d of %d\n", round, run.rounds);
    for (StartFile& file : files) {
      std::vector<double>* floorMs = file.settings.candidates > 1 ? &file.floorMs : nullptr;
      std::vector<double>* saveFloorMs = file.settings.candidates > 1 ? &file.saveFloorMs : nullptr;
      for (size_t p : run.Order(round)) {
        const ProgramUnderTest& program = run.programs[p];
        const std::string folderName =
            "load-" + std::to_string(round) + "-" + std::to_string(file.settings.candidates) + "-" + program.label;
        file.shownMs[p].push_back(
            TimeStart(run, program, file.settings, folderName, trouble[p], floorMs, saveFloorMs));
        floorMs = saveFloorMs = nullptr;  // once a round, beside the first program
      }
    }
  }
  PrintReport(run, files, trouble);
}
