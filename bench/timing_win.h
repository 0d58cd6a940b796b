#pragma once
// The benchmark's clock and how its rounds are summed up.

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <vector>

// Milliseconds since an arbitrary start, from QueryPerformanceCounter.
inline double NowMs() {
  static const double kTicksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / kTicksPerMs;
}

template <class Work>
double TimeMs(Work work) {
  double begin = NowMs();
  work();
  return NowMs() - begin;
}

// The median round and the best (smallest) round of one figure.
struct Summary {
  double median = 0;
  double best = 0;
};

inline Summary Summarise(std::vector<double> rounds) {
  if (rounds.empty()) return {};
  std::sort(rounds.begin(), rounds.end());
  size_t n = rounds.size();
  return {n % 2 ? rounds[n / 2] : (rounds[n / 2 - 1] + rounds[n / 2]) / 2, rounds.front()};
}

// A 1 ms timer resolution while it lives, so that the 1 ms waits of the
// polls are 1 ms on Windows too (Wine has it anyway).
class FineTimerResolution {
 public:
  FineTimerResolution() { timeBeginPeriod(1); }
  ~FineTimerResolution() { timeEndPeriod(1); }
  FineTimerResolution(const FineTimerResolution&) = delete;
  FineTimerResolution& operator=(const FineTimerResolution&) = delete;
};
