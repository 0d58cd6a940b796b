#include "reassignment_rounds_win.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "floors_win.h"
#include "generated_settings.h"
#include "report_format.h"
#include "sound_keys_win.h"
#include "started_program_win.h"
#include "timing_win.h"

namespace {

constexpr UINT kReassignCommand = 32774;

// One program running on its own copy of the file, in its own folder.
struct Running {
  std::unique_ptr<ScratchFolder> folder;
  std::unique_ptr<StartedProgram> program;
  std::vector<double> reassignMs;
};

// The first reassignment creates the keys; it also shows that the program
// writes where the floor does, so that both are timed on the same keys.
void WarmUp(const ProgramUnderTest& program, StartedProgram& started, const GeneratedSettings& settings) {
  const SoundWrite& last = settings.writes.back();
  ClearSound(last.keyPath);
  started.TimeCommand(kReassignCommand);
  std::string written = ReadSound(last.keyPath);
  if (written.size() != last.value.size() || written.compare(0, 20, last.value, 0, 20) != 0)
    throw std::runtime_error(program.path + " wrote \"" + written + "\" to " + last.keyPath + ", not a candidate");
}

// The floor once: registry calls, then the file written (and flushed).
double TimeFloor(const GeneratedSettings& settings, const std::string& file, bool flush) {
  bool ok = false;
  double ms =
      TimeMs([&] { ok = WriteSoundsDirectly(settings.writes) && WriteWholeFile(file, settings.content, flush); });
  if (!ok) throw std::runtime_error("a call of the reassignment floor failed");
  return ms;
}

void PrintRow(const std::string& name, const Summary& figure) {
  std::printf("  %-38s %10.2f %10.2f\n", name.c_str(), figure.median, figure.best);
}

void PrintRatio(const std::string& name, const Summary& part, const Summary& whole) {
  std::printf("  %-38s %10s %10s\n", name.c_str(), Ratio(part.median, whole.median).c_str(),
              Ratio(part.best, whole.best).c_str());
}

}  // namespace

void RunReassignmentRounds(const BenchRun& run, int events, int candidatesPerEvent) {
  const GeneratedSettings settings = GenerateSettings(events, candidatesPerEvent);
  const std::string shape = Thousands(events) + " events x " + Thousands(candidatesPerEvent) +
                            (candidatesPerEvent == 1 ? " candidate" : " candidates");
  ForgetSoundKeys(settings, !run.appEventsExisted);

  std::vector<Running> running(run.programs.size());
  for (size_t p = 0; p < running.size(); ++p) {
    const ProgramUnderTest& program = run.programs[p];
    running[p].folder = std::make_unique<ScratchFolder>(
        "reassign-" + std::to_string(events) + "x" + std::to_string(candidatesPerEvent) + "-" + program.label,
        run.folder);
    const std::string file = running[p].folder->File("BTD.CFG");
    if (!WriteWholeFile(file, settings.content, false)) throw std::runtime_error("cannot write " + file);
    running[p].program = std::make_unique<StartedProgram>(program.path, running[p].folder->path());
    WarmUp(program, *running[p].program, settings);
  }
  // The floor's file is in the first program's folder, beside its BTD.CFG.
  const std::string floorFile = running.front().folder->File("floor-save.cfg");
  TimeFloor(settings, floorFile, true);

  std::vector<double> floorMs, floorNoFlushMs;
  for (int round = 1; round <= run.rounds; ++round) {
    std::fprintf(stderr, "reassignment, %s: round %d of %d\n", shape.c_str(), round, run.rounds);
    const bool flushFirst = round % 2 == 1;  // neither floor always goes first
    for (bool flush : {flushFirst, !flushFirst})
      (flush ? floorMs : floorNoFlushMs).push_back(TimeFloor(settings, floorFile, flush));
    for (size_t p : run.Order(round))
      running[p].reassignMs.push_back(running[p].program->TimeCommand(kReassignCommand));
  }
  int badEnds = 0;
  for (Running& r : running)
    if (r.program->End() != 0) ++badEnds;
  ForgetSoundKeys(settings, !run.appEventsExisted);

  std::printf(
      "\nOne reassignment, %s (file of %s bytes): WM_COMMAND 32774\n"
      "sent with SendMessageTimeoutA, until it returns (registry written, file saved).\n"
      "Floor: the registry calls it makes plus one write of the file's bytes.\n"
      "  %-38s %10s %10s\n",
      shape.c_str(), Thousands(static_cast<long long>(settings.content.size())).c_str(), "", "median ms", "best ms");
  std::vector<Summary> reassign;
  for (size_t p = 0; p < running.size(); ++p) {
    reassign.push_back(Summarise(running[p].reassignMs));
    PrintRow(run.programs[p].label + ": reassignment", reassign[p]);
  }
  const Summary floor = Summarise(floorMs), floorNoFlush = Summarise(floorNoFlushMs);
  PrintRow("floor (write with FlushFileBuffers)", floor);
  PrintRow("floor without FlushFileBuffers", floorNoFlush);
  for (size_t p = 0; p < running.size(); ++p) {
    PrintRatio(run.programs[p].label + " / floor", reassign[p], floor);
    PrintRatio(run.programs[p].label + " / floor without flush", reassign[p], floorNoFlush);
  }
  for (size_t p = 1; p < running.size(); ++p)
    PrintRatio(run.programs[p].label + " / " + run.programs[0].label, reassign[p], reassign[0]);
  if (badEnds) std::printf("  note: %d programs did not end cleanly on their exit command\n", badEnds);
}
