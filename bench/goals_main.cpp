// vandor_goals: one line per performance goal, each measured against its
// baseline in the same run, ending in "holds" or "misses".
//
// `make bench` runs it in the Release tree and keeps its output in
// build/bench/goals.txt; tools/goals-table.sh turns that into the table of
// README.md. With VANDOR_BENCH_QUICK set (make test) every size is cut to
// a hundredth and every figure taken once: that run only shows that the
// program works, its verdicts mean nothing. Scratch files go to a folder of
// their own under $TMPDIR, removed at the end.
//
// The exit status is 0 when every measurement could be taken, whether the
// goals hold or not, and 1 when one failed (its section then lacks lines).
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <limits>
#include <sstream>

#include "bench/goals.h"
#include "bench/goals_clock.h"

namespace {

std::string loadAverage() {
  std::ifstream in("/proc/loadavg");
  double one = 0, five = 0;
  in >> one >> five;
  std::ostringstream text;
  text << one << " (1 min), " << five << " (5 min)";
  return text.str();
}

std::string program(const char* variable, const char* built) {
  const char* given = std::getenv(variable);
  return given != nullptr && *given != '\0' ? given : built;
}

std::string today() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&now));
  return text;
}

}  // namespace

int main() {
  using namespace goals;
  const double start = ClockSeconds(CLOCK_MONOTONIC);
#if defined(__GLIBC__)
  // A warm heap for the measurements in this process: the allocator keeps
  // what is freed (no blocks of their own from the system, no trimming),
  // so that repeated runs of ours and of the baselines alike measure their
  // work rather than the system's page faults. The fresh-process loads run
  // in children with the allocator's defaults.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
#endif
  Report report(std::cerr);
  const Plan plan = Plan::FromEnvironment();
  const ScratchFolder scratch;
  Context context{plan, report, scratch,
                  program("VANDOR_LOAD_PROBE", VANDOR_LOAD_PROBE),
                  program("VANDOR_ARCHIVE_PROGRAM", VANDOR_ARCHIVE_PROGRAM)};

  std::ostringstream head;
  head << "# vandor_goals, " << VANDOR_BUILD_TYPE << " build, " << today() << ", "
       << sysconf(_SC_NPROCESSORS_ONLN) << " cores, load average " << loadAverage() << "\n";
  if (plan.quick) head << "# QUICK RUN (VANDOR_BENCH_QUICK): sizes cut to a hundredth, one run each; no verdict counts\n";
  head << "# Each line: what is measured; our figure and the clock that decides it = the ratio x\n"
          "# the baseline (its figure); other figures, ours / the baseline's; the goal; holds or misses.\n"
          "# Figures are medians of 5 to 51 runs after warm-up runs (more for small sizes), ours and\n"
          "# the baseline's taken alternately in the same run; the ratio is that of the medians.\n"
          "# In this process the heap is warm: the allocator keeps freed memory (no mmap, no trim);\n"
          "# the fresh-process loads run in children with its defaults.\n";

  int failures = 0;
  const auto attempt = [&](const char* what, auto&& measure) {
    try {
      measure();
    } catch (const std::exception& e) {
      ++failures;
      report.Note(std::string("FAILED: ") + what + ": " + e.what());
    }
  };
  attempt("the turn tables", [&] { MeasureTables(context); });
  attempt("the large archive", [&] {
    report.Section(kAllTurns);
    report.Note("The large archive: " + std::to_string(plan.Rows(500)) +
                " turns x 300 messages, saved as a capture saves them (.sav and .txt).");
    const LargeArchive archive(scratch.Path(), plan.Rows(500));
    MeasureArchive(context, archive);
  });

  std::cout << head.str();
  report.Print(std::cout);
  std::ostringstream tail;
  tail << "# The run took " << FormatSeconds(ClockSeconds(CLOCK_MONOTONIC) - start)
       << "; load average at its end " << loadAverage();
  std::cout << tail.str() << std::endl;
  if (failures > 0) std::cout << "# " << failures << " measurement(s) FAILED" << std::endl;
  return failures > 0 ? 1 : 0;
}
