// Timing helpers of the benchmarks: each measured operation is timed by
// hand, alternately with the baseline it is compared with, and both
// medians are reported.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace timing {

// Seconds that `run` takes.
template <class Run>
double Seconds(Run&& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Sizes are cut down for a quick run (make test): VANDOR_BENCH_QUICK set.
inline bool Quick() { return std::getenv("VANDOR_BENCH_QUICK") != nullptr; }
inline int Size(int full) { return Quick() ? std::max(1, full / 100) : full; }

// Times `measured` against `baseline` in every iteration; the iteration's
// time is the measured one. Reports the medians in milliseconds and their
// ratio as counters.
template <class Measured, class Baseline>
void Compare(benchmark::State& state, Measured&& measured, Baseline&& baseline,
             const char* ratioName) {
  std::vector<double> ours, theirs;
  for (auto _ : state) {
    theirs.push_back(Seconds(baseline));
    const double t = Seconds(measured);
    ours.push_back(t);
    state.SetIterationTime(t);
  }
  const double mine = Median(ours), base = Median(theirs);
  state.counters["ms"] = mine * 1000;
  state.counters["baseline_ms"] = base * 1000;
  state.counters[ratioName] = base > 0 ? mine / base : 0;
}

// Times `measured` alone; reports the median in milliseconds.
template <class Measured>
void Measure(benchmark::State& state, Measured&& measured) {
  std::vector<double> times;
  for (auto _ : state) {
    const double t = Seconds(measured);
    times.push_back(t);
    state.SetIterationTime(t);
  }
  state.counters["ms"] = Median(times) * 1000;
}

}  // namespace timing
