// The measurements of the goals program (vandor_goals), each a group of
// goal lines in the report.
#pragma once

#include <string>

#include "bench/goals_clock.h"
#include "bench/goals_data.h"
#include "bench/goals_report.h"

namespace goals {

struct Context {
  Plan plan;
  Report& report;
  const ScratchFolder& scratch;
  std::string loadProbe;       // the vandor_load_probe program
  std::string archiveProgram;  // the vandormsg-archive program
};

// The section titles, in the order the report prints them.
extern const char kFreshLoad[];
extern const char kWarmLoad[];
extern const char kSqliteLoad[];
extern const char kSave[];
extern const char kSort[];
extern const char kAllTurns[];
extern const char kSearch[];
extern const char kReport[];
extern const char kCommands[];

// Loading, saving and sorting turn tables of 1k to 1M rows.
void MeasureTables(Context& context);

// All Turns, the search and the window's commands over `archive`.
void MeasureArchive(Context& context, const LargeArchive& archive);

// The texts searched for, by the reader's search and by Find in the window:
// a rare and a common one, each exactly and ignoring case.
struct SearchCase {
  const char* kind;  // "rare" or "common"
  const char* text;
  bool ignoreCase;
};
extern const SearchCase kSearchCases[4];

// vandormsg-archive report of `archive`, against its limit of 1 s.
void MeasureReport(Context& context, const LargeArchive& archive);

// The slowest of the searches measured against grep.
struct SlowestSearch {
  std::string what;
  Series runs;  // of vandormsg-archive
};

// vandormsg-archive search against grep -r over `archive`'s text files.
SlowestSearch MeasureSearch(Context& context, const LargeArchive& archive);

}  // namespace goals
