// The clocks of the goals program: wall time, the CPU time of the calling
// thread (user and system) and its minor page faults, taken together around
// one measured run. A Series keeps the runs of one side of a comparison and
// gives the median of each figure on its own.
#pragma once

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace goals {

// One measured run: seconds of wall and of thread CPU time, and the minor
// page faults the thread took meanwhile.
struct Sample {
  double wall = 0;
  double cpu = 0;
  double faults = 0;
};

inline double ClockSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

inline long ThreadMinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_minflt;
}

// The clocks read at one moment; the difference of two readings is a Sample.
struct Reading {
  double wall, cpu;
  long faults;
  static Reading Now() {
    Reading r;
    r.faults = ThreadMinorFaults();
    r.cpu = ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
    r.wall = ClockSeconds(CLOCK_MONOTONIC);
    return r;
  }
  Sample Since(const Reading& start) const {
    return Sample{wall - start.wall, cpu - start.cpu, static_cast<double>(faults - start.faults)};
  }
};

// Runs `run` once between two readings of the clocks.
template <class Run>
Sample Time(Run&& run) {
  const Reading start = Reading::Now();
  run();
  return Reading::Now().Since(start);
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The runs of one side of a comparison.
struct Series {
  std::vector<Sample> runs;

  void Add(const Sample& s) { runs.push_back(s); }
  size_t Count() const { return runs.size(); }
  double Wall() const { return MedianOf(&Sample::wall); }
  double Cpu() const { return MedianOf(&Sample::cpu); }
  double Faults() const { return MedianOf(&Sample::faults); }

 private:
  double MedianOf(double Sample::*field) const {
    std::vector<double> values;
    values.reserve(runs.size());
    for (const Sample& s : runs) values.push_back(s.*field);
    return Median(std::move(values));
  }
};

// Runs `warmups` unrecorded rounds, then `repetitions` recorded ones, of
// both sides, alternately: each round runs both, the baseline first in
// even rounds and last in odd ones, so that neither always finds the
// caches as the other left them. Each side is a callable returning the
// Sample of its timed part; what it does before and after that part (a
// fresh table, its destruction) stays outside the figure.
template <class Baseline, class Measured>
void Alternate(int warmups, int repetitions, Baseline&& baseline, Measured&& measured,
               Series& theirs, Series& ours) {
  for (int i = 0; i < warmups; ++i) {
    baseline();
    measured();
  }
  for (int i = 0; i < repetitions; ++i) {
    if (i % 2 == 0) {
      theirs.Add(baseline());
      ours.Add(measured());
    } else {
      ours.Add(measured());
      theirs.Add(baseline());
    }
  }
}

// The same for one side alone (the goals with an absolute limit).
template <class Measured>
void Repeat(int warmups, int repetitions, Measured&& measured, Series& ours) {
  for (int i = 0; i < warmups; ++i) measured();
  for (int i = 0; i < repetitions; ++i) ours.Add(measured());
}

}  // namespace goals
