// Timing for the benchmarks: the median of several tries, so that a try the
// shared machine happened to slow down does not decide the figure.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

template <typename Work>
double medianMs(int tries, Work work) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> times;
  for (int i = 0; i < tries; ++i) {
    Clock::time_point start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}
