// vandormsg-archive: reading the turn archive from the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;  // a bad argument, a missing or damaged file
inline constexpr int kExitUsage = 2;  // a command line that does not parse

// Runs the command line `args` (without the program name): writes the
// result to `out`, and an error as one line to `err`. Returns the exit
// status. Output is written only when the command succeeded.
int RunArchiveCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
