#pragma once
// Load + save: the time from the start of CreateProcess until the status
// window is visible, for settings files of 1,000, 10,000 and 100,000
// candidates, less the same for a one-candidate file; against the floor of
// copying the file once and reading it once.

#include "bench_run.h"

void RunLoadRounds(const BenchRun& run);
