// vandormsg-archive search against grep -r over the same archive's text
// files, both started as child processes for every run.
#include <algorithm>
#include <filesystem>

#include "bench/goals.h"
#include "bench/goals_child.h"

namespace goals {

const char kSearch[] = "vandormsg-archive search against grep -r";
const char kReport[] = "vandormsg-archive report of a large archive";

// Texts of what DataGenerator writes (sim/data_generator.cpp): its texts
// are runs of 18 words drawn alike, so every single word is in nearly
// every message. A run of four given words is in about 0.15 % of them,
// a pair in about 36 %. The case-folding runs look for the texts in small
// letters, which match only through the folding ("Vega", "Sirius").
const SearchCase kSearchCases[4] = {
    {"rare", "Vega ore treaty Sirius", false},
    {"rare", "vega ore treaty sirius", true},
    {"common", "Sirius fleet", false},
    {"common", "sirius fleet", true},
};

namespace {

std::vector<std::string> ourCommand(const Context& context, const LargeArchive& archive,
                                    const SearchCase& search) {
  std::vector<std::string> argv = {context.archiveProgram, "--root", archive.Root(), "search"};
  if (search.ignoreCase) argv.push_back("--ignore-case");
  argv.push_back("--");
  argv.push_back(search.text);
  return argv;
}

std::vector<std::string> grepCommand(const LargeArchive& archive, const SearchCase& search) {
  std::vector<std::string> argv = {"grep", "-r"};
  if (search.ignoreCase) argv.push_back("-i");
  argv.push_back(search.text);
  argv.push_back("--include=*.txt");
  argv.push_back(archive.DataFolder());
  return argv;
}

// grep's status 1 is "no line found".
const std::vector<int> kGrepStatuses = {0, 1};

size_t lines(const std::string& out) { return static_cast<size_t>(std::count(out.begin(), out.end(), '\n')); }

// The hits of the reader's output: each begins with a line of its own, and
// each line of its text follows after a tab.
size_t hits(const std::string& out) {
  size_t count = 0;
  for (size_t at = 0; at < out.size();) {
    if (out[at] != '\t') ++count;
    const size_t end = out.find('\n', at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return count;
}

std::string percent(double part, double whole) {
  return FormatRatio(whole > 0 ? 100 * part / whole : 0) + " %";
}

}  // namespace

SlowestSearch MeasureSearch(Context& context, const LargeArchive& archive) {
  Report& report = context.report;
  report.Section(kSearch);
  report.Note("Both as child processes under LC_ALL=C (the archive's texts are code page 1252):");
  report.Note("vandormsg-archive --root ARCHIVE search [--ignore-case] -- TEXT, and");
  report.Note("grep -r [-i] TEXT --include=*.txt ARCHIVE/DATA/. Their output goes to a pipe that is");
  report.Note("read and dropped, not to /dev/null, where GNU grep would stop at its first match.");
  report.Note("Decided by wall time from the start to the end of the child. Beside: the hits (ours");
  report.Note("in messages, grep's in lines of the text files, headers included), the bytes each");
  report.Note("printed (ours gives each hit's whole text, grep the matching lines) and CPU time");
  report.Note("(user and system), ours / grep's.");
  report.Note("Every single word of the generated texts is in nearly every message, so the rare and");
  report.Note("the common text are runs of words.");

  SlowestSearch slowest;
  for (const SearchCase& search : kSearchCases) {
    const std::vector<std::string> ours = ourCommand(context, archive, search);
    const std::vector<std::string> grep = grepCommand(archive, search);
    const ChildRun ourOutput = RunChild(ours, Output::kKeep);
    const ChildRun grepOutput = RunChild(grep, Output::kKeep, kGrepStatuses);
    const size_t ourHits = hits(ourOutput.out);
    const size_t grepLines = lines(grepOutput.out);
    Check(ourHits > 0, std::string("no message holds \"") + search.text + "\"");

    Series theirs, mine;
    const auto run = [](const std::vector<std::string>& argv, const std::vector<int>& statuses) {
      const ChildRun child = RunChild(argv, Output::kDiscard, statuses);
      Sample taken;
      taken.wall = child.wall;
      taken.cpu = child.cpu;
      return taken;
    };
    Alternate(
        context.plan.Warmups(1), context.plan.Repetitions(7),
        [&] { return run(grep, kGrepStatuses); }, [&] { return run(ours, {0}); }, theirs, mine);

    RatioGoal goal;
    goal.what = std::string("search, ") + search.kind + " text" +
                (search.ignoreCase ? ", --ignore-case" : "");
    goal.ours = mine.Wall();
    goal.theirs = theirs.Wall();
    goal.clock = "wall";
    goal.baseline = search.ignoreCase ? "grep -r -i" : "grep -r";
    goal.details = "hits " + std::to_string(ourHits) + " messages (" +
                   percent(static_cast<double>(ourHits), archive.Messages()) + ") / " +
                   std::to_string(grepLines) + " grep lines";
    const double ratio = grepLines > 0 ? static_cast<double>(ourHits) / static_cast<double>(grepLines) : 0;
    if (ratio < 0.5 || ratio > 2) goal.details += " (counts differ widely)";
    goal.details += ", output " + FormatBytes(static_cast<double>(ourOutput.outBytes)) + " / " +
                    FormatBytes(static_cast<double>(grepOutput.outBytes)) + ", cpu " +
                    FormatSeconds(mine.Cpu()) + " / " + FormatSeconds(theirs.Cpu());
    goal.limit = 1;
    report.Line(goal);
    if (slowest.runs.Count() == 0 || mine.Wall() > slowest.runs.Wall()) {
      slowest.what = goal.what;
      slowest.runs = mine;
    }
  }
  return slowest;
}

void MeasureReport(Context& context, const LargeArchive& archive) {
  Report& report = context.report;
  report.Section(kReport);
  report.Note("vandormsg-archive --root ARCHIVE report GAME RACE -o FILE as a child process: every");
  report.Note("turn in one page, written to a file in the scratch folder. Decided by wall time from");
  report.Note("the start to the end of the child, against an absolute limit of 1 s.");
  const std::string page = context.scratch.Path() + "report.html";
  const std::vector<std::string> argv = {context.archiveProgram, "--root", archive.Root(), "report",
                                         LargeArchive::kGame, std::to_string(LargeArchive::kRace),
                                         "-o", page};
  Series runs;
  Repeat(context.plan.Warmups(1), context.plan.Repetitions(5),
         [&] {
           const ChildRun child = RunChild(argv, Output::kDiscard);
           Sample taken;
           taken.wall = child.wall;
           taken.cpu = child.cpu;
           return taken;
         },
         runs);
  std::error_code ignored;
  const auto size = std::filesystem::file_size(page, ignored);
  Check(!ignored && size > 0, "the report was not written");
  TimeGoal goal;
  goal.what = "report, " + std::to_string(archive.Turns()) + " turns x 300";
  goal.seconds = runs.Wall();
  goal.clock = "wall";
  goal.details = "cpu " + FormatSeconds(runs.Cpu()) + ", page " +
                 FormatBytes(static_cast<double>(size));
  goal.limit = 1.0;
  report.Line(goal);
}

}  // namespace goals
