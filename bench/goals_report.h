// The lines of the goals program: one per goal, ending in "holds" or
// "misses", and notes (lines beginning with "#") that say how the figures
// were taken. Fields are separated by at least three spaces, so that
// tools/goals-table.sh can split them.
//
// The lines are kept in sections, one per goal, and printed section by
// section at the end: one set of generated data serves several goals, so
// the lines are measured in another order than they are read. Each line
// also goes to the error output as soon as it is measured, to show the
// progress of a long run.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace goals {

// How a figure compares with its goal's limit.
enum class Bound {
  kAtMost,  // holds when figure <= limit
  kBelow,   // holds when figure < limit
};

// A goal stated as a ratio to a baseline measured in the same run.
struct RatioGoal {
  std::string what;      // "load 100k rows, fresh process"
  double ours = 0;       // seconds (or bytes with `bytes`)
  double theirs = 0;     // the baseline's figure, in the same unit
  std::string clock;     // which figure decides: "wall", "cpu" (empty for bytes)
  std::string baseline;  // "reading the file"
  std::string details;   // other figures, shown before the goal
  Bound bound = Bound::kAtMost;
  double limit = 1;      // the ratio the goal allows
  bool bytes = false;    // figures are bytes, not seconds
};

// A goal stated as an absolute time.
struct TimeGoal {
  std::string what;
  double seconds = 0;
  std::string clock;
  std::string details;
  double limit = 0.1;  // seconds; holds when below
};

class Report {
 public:
  // `progress` gets each line as it is made.
  explicit Report(std::ostream& progress) : progress_(progress) {}

  // Makes the section `title` the one that notes and lines go to; a new
  // title opens a section after those opened before.
  void Section(const std::string& title);
  void Note(const std::string& text);
  void Line(const RatioGoal& goal);
  void Line(const TimeGoal& goal);

  // Every section with its notes and lines, then the counts of the lines.
  void Print(std::ostream& out) const;

  int Holding() const { return holding_; }
  int Missing() const { return missing_; }

 private:
  void Emit(const std::string& what, const std::string& figure, const std::string& details,
            const std::string& goal, bool holds);
  void Add(const std::string& line);

  std::ostream& progress_;
  std::vector<std::pair<std::string, std::vector<std::string>>> sections_;
  size_t current_ = 0;
  int holding_ = 0;
  int missing_ = 0;
};

// "12.3 ms", "0.412 ms", "1.53 s": three significant digits.
std::string FormatSeconds(double seconds);
// "53.2 MB" (10^6 bytes).
std::string FormatBytes(double bytes);
// "1.70", "0.512", "12.3".
std::string FormatRatio(double ratio);
// A goal's limit as it is written: "2", "1.5".
std::string FormatLimit(double limit);
// "1k", "100k", "1M" for a row count.
std::string FormatRows(int rows);

// Raised when a measured operation does not do what it should (a load that
// yields the wrong row count, a child that fails): the figures would be
// those of something else.
struct MeasurementError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

inline void Check(bool condition, const std::string& what) {
  if (!condition) throw MeasurementError(what);
}

}  // namespace goals
