// Child processes of the goals program: the load probe, the command-line
// reader and grep, each started fresh with posix_spawn (no copy of the
// parent's memory, however large it is) under the C locale.
//
// A child's standard output is always a pipe that the parent reads to its
// end, never /dev/null: GNU grep stops at its first match when its output
// is /dev/null, and would then not do the work it is compared for.
#pragma once

#include <string>
#include <vector>

namespace goals {

struct ChildRun {
  double wall = 0;  // seconds from before the spawn to after the child was reaped
  double cpu = 0;   // the child's user and system time
  std::string out;  // its standard output, when kept
  size_t outBytes = 0;
};

enum class Output { kKeep, kDiscard };

// Runs `argv` (argv[0] is searched in PATH when it holds no slash) with its
// standard output read to the end and kept or discarded, its error output
// the parent's, and LC_ALL=C. Raises MeasurementError when it cannot be
// started or exits other than with a status of `okStatuses`.
ChildRun RunChild(const std::vector<std::string>& argv, Output output,
                  const std::vector<int>& okStatuses = {0});

}  // namespace goals
