#include "bench/goals_report.h"

#include <cmath>
#include <cstdio>

namespace goals {

namespace {

// Three significant digits of `value`, without an exponent.
std::string significant(double value) {
  char text[32];
  const double size = std::fabs(value);
  const char* format = size >= 100 ? "%.0f" : size >= 10 ? "%.1f" : size >= 1 ? "%.2f" : "%.3f";
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// `text` and at least three spaces, up to `width` characters.
std::string padded(const std::string& text, size_t width) {
  return text + std::string(text.size() + 3 < width ? width - text.size() : 3, ' ');
}

std::string boundText(Bound bound) { return bound == Bound::kAtMost ? "<=" : "<"; }

bool within(double figure, Bound bound, double limit) {
  return bound == Bound::kAtMost ? figure <= limit : figure < limit;
}

}  // namespace

std::string FormatSeconds(double seconds) {
  if (seconds >= 10) return significant(seconds) + " s";
  return significant(seconds * 1000) + " ms";
}

std::string FormatBytes(double bytes) { return significant(bytes / 1e6) + " MB"; }

std::string FormatRatio(double ratio) { return significant(ratio); }

std::string FormatLimit(double limit) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", limit);
  return text;
}

std::string FormatRows(int rows) {
  if (rows >= 1000000 && rows % 1000000 == 0) return std::to_string(rows / 1000000) + "M";
  if (rows >= 1000 && rows % 1000 == 0) return std::to_string(rows / 1000) + "k";
  return std::to_string(rows);
}

void Report::Section(const std::string& title) {
  for (current_ = 0; current_ < sections_.size(); ++current_) {
    if (sections_[current_].first == title) return;
  }
  sections_.emplace_back(title, std::vector<std::string>());
}

void Report::Add(const std::string& line) {
  if (sections_.empty()) Section("");
  sections_[current_].second.push_back(line);
  progress_ << line << std::endl;
}

void Report::Note(const std::string& text) { Add("# " + text); }

void Report::Emit(const std::string& what, const std::string& figure, const std::string& details,
                  const std::string& goal, bool holds) {
  Add(padded(what, 46) + padded(figure, 72) + padded(details.empty() ? "-" : details, 56) +
      padded(goal, 16) + (holds ? "holds" : "misses"));
  ++(holds ? holding_ : missing_);
}

void Report::Line(const RatioGoal& goal) {
  const auto figure = [&](double value) {
    return goal.bytes ? FormatBytes(value) : FormatSeconds(value);
  };
  const bool measured = goal.theirs > 0 && std::isfinite(goal.ours);
  const double ratio = measured ? goal.ours / goal.theirs : INFINITY;
  std::string text = figure(goal.ours);
  if (!goal.clock.empty()) text += " " + goal.clock;
  text += " = " + (measured ? FormatRatio(ratio) : std::string("?")) + " x " + goal.baseline +
          " (" + figure(goal.theirs) + ")";
  Emit(goal.what, text, goal.details, "goal " + boundText(goal.bound) + " " +
       FormatLimit(goal.limit) + " x", measured && within(ratio, goal.bound, goal.limit));
}

void Report::Line(const TimeGoal& goal) {
  std::string text = FormatSeconds(goal.seconds);
  if (!goal.clock.empty()) text += " " + goal.clock;
  Emit(goal.what, text, goal.details, "goal < " + FormatSeconds(goal.limit),
       std::isfinite(goal.seconds) && goal.seconds < goal.limit);
}

void Report::Print(std::ostream& out) const {
  for (const auto& section : sections_) {
    if (!section.first.empty()) out << "\n## " << section.first << "\n";
    for (const std::string& line : section.second) out << line << "\n";
  }
  out << "\n# " << holding_ + missing_ << " goals: " << holding_ << " hold, " << missing_
      << " miss" << std::endl;
}

}  // namespace goals
