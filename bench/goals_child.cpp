#include "bench/goals_child.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "bench/goals_clock.h"
#include "bench/goals_report.h"

extern char** environ;

namespace goals {

namespace {

// The parent's environment with LC_ALL=C instead of any LC_ALL: grep and
// the reader then take the archive's code page 1252 bytes as bytes.
std::vector<std::string> childEnvironment() {
  std::vector<std::string> variables;
  for (char** v = environ; *v != nullptr; ++v) {
    if (std::strncmp(*v, "LC_ALL=", 7) != 0) variables.emplace_back(*v);
  }
  variables.emplace_back("LC_ALL=C");
  return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> list;
  for (std::string& text : texts) list.push_back(&text[0]);
  list.push_back(nullptr);
  return list;
}

std::string commandText(const std::vector<std::string>& argv) {
  std::string text;
  for (const std::string& word : argv) text += (text.empty() ? "" : " ") + word;
  return text;
}

}  // namespace

ChildRun RunChild(const std::vector<std::string>& argv, Output kept,
                  const std::vector<int>& okStatuses) {
  std::vector<std::string> arguments = argv;
  std::vector<std::string> environment = childEnvironment();
  std::vector<char*> args = pointers(arguments);
  std::vector<char*> env = pointers(environment);

  int output[2] = {-1, -1};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  Check(pipe2(output, O_CLOEXEC) == 0, "cannot make a pipe");
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);

  const double start = ClockSeconds(CLOCK_MONOTONIC);
  pid_t child = -1;
  const int spawned = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  if (spawned != 0) {
    close(output[0]);
    throw MeasurementError("cannot start " + commandText(argv) + ": " + std::strerror(spawned));
  }

  ChildRun run;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(output[0], buffer, sizeof buffer);
    if (got > 0) {
      run.outBytes += static_cast<size_t>(got);
      if (kept == Output::kKeep) run.out.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  close(output[0]);
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
    Check(errno == EINTR, "cannot wait for " + commandText(argv));
  }
  run.wall = ClockSeconds(CLOCK_MONOTONIC) - start;
  run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  const bool exited = WIFEXITED(status) &&
                      std::find(okStatuses.begin(), okStatuses.end(), WEXITSTATUS(status)) !=
                          okStatuses.end();
  Check(exited, commandText(argv) + " failed (" +
                    (WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                         : "exit status " + std::to_string(WEXITSTATUS(status))) +
                    ")");
  return run;
}

}  // namespace goals
