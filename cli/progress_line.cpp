#include "cli/progress_line.h"

#include <chrono>

namespace {

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, std::string what, Clock clock)
    : err_(err), what_(std::move(what)), clock_(clock ? std::move(clock) : steadySeconds),
      start_(clock_()) {}

ProgressLine::~ProgressLine() {
  if (shown_ >= 0) err_ << '\n' << std::flush;
}

void ProgressLine::operator()(size_t done, size_t total) {
  if (total == 0 || clock_() - start_ <= kQuietSeconds) return;
  const int percent = static_cast<int>(done >= total ? 100 : done * 100 / total);
  if (percent == shown_) return;
  shown_ = percent;
  err_ << '\r' << what_ << percent << " %" << std::flush;
}
