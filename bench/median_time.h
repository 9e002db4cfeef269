// Timing for the benchmarks: the median of several tries, so that a try the
// shared machine happened to slow down does not decide the figure.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// The median of timings taken elsewhere (in turns with other measurements, say).
inline double medianOf(std::vector<double> times) {
  if (times.empty()) return 0;
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Milliseconds that `work` took.
template <typename Work>
double timeMs(Work work) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename Work>
double medianMs(int tries, Work work) {
  std::vector<double> times;
  for (int i = 0; i < tries; ++i) times.push_back(timeMs(work));
  return medianOf(times);
}
