#pragma once
// One reassignment (command 32774 sent to the running program, returned once
// the registry is written and the settings file saved), against the floor of
// the registry calls it makes plus one write of the file's bytes.

#include "bench_run.h"

void RunReassignmentRounds(const BenchRun& run, int events, int candidatesPerEvent);
