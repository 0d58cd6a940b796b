#pragma once
// What every measurement of one benchmark run shares: the programs compared,
// the number of rounds, the folder for the runs' files.

#include <string>
#include <vector>

#include "scratch_folder_win.h"

struct ProgramUnderTest {
  std::string label;  // A, B, ... in the report
  std::string path;
};

struct BenchRun {
  std::vector<ProgramUnderTest> programs;
  int rounds = 5;
  const ScratchFolder* folder = nullptr;
  bool appEventsExisted = true;  // HKEY_CURRENT_USER\AppEvents before the run

  // Indexes into `programs` in the order of round `round`: rotated every
  // round, so that no program always goes first.
  std::vector<size_t> Order(int round) const {
    std::vector<size_t> order;
    for (size_t i = 0; i < programs.size(); ++i) order.push_back((i + static_cast<size_t>(round)) % programs.size());
    return order;
  }
};
