// A progress line on the terminal for a command that may take a while: it
// shows nothing during its first second, so that quick runs stay quiet,
// then one line that it rewrites in place ("\r") as the work goes on, and
// ends it when the work is done.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

class ProgressLine {
 public:
  // Seconds on a clock that only goes forward.
  using Clock = std::function<double()>;

  // Writes to `err`, each line starting with `what`; `clock` tells the time
  // (the steady clock when null).
  ProgressLine(std::ostream& err, std::string what, Clock clock = nullptr);
  // Ends the line if one was shown.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // `done` of `total` steps are done.
  void operator()(size_t done, size_t total);

 private:
  static constexpr double kQuietSeconds = 1.0;

  std::ostream& err_;
  std::string what_;
  Clock clock_;
  double start_;
  int shown_ = -1;  // the percentage last shown; -1 before the first
};
