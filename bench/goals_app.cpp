// All Turns and the window's commands over a large archive on disk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "app/browse_commands.h"
#include "app/main_window_view.h"
#include "app/test_user_interface.h"
#include "archive/file_system.h"
#include "bench/goals.h"
#include "bench/memory_counter.h"
#include "cache/cache_stream.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"

namespace goals {

const char kAllTurns[] = "All Turns of a large archive";
const char kCommands[] = "Commands of the window and the reader on a large archive";

namespace {

// A game the way the window holds it: its filter, a user interface that
// answers as told, and the browse commands over the archive.
struct Window {
  explicit Window(const LargeArchive& archive)
      : commands(game, archive.Store(), ui, filter) {}

  void Load(const LargeArchive& archive, int turn) {
    archive.Store().LoadTurn(game, LargeArchive::kGame, LargeArchive::kRace, turn);
  }

  CurrentGame game;
  testing_ui::ScriptedUi ui;
  MessageFilter filter;
  BrowseCommands commands;
};

// Reads the file `path` whole into a fresh buffer, as the load probe's
// `read` does; returns its size, or -1.
long long readWhole(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat status{};
  long long done = -1;
  if (fstat(fd, &status) == 0) {
    const auto size = static_cast<size_t>(status.st_size);
    char* buffer = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
    if (buffer != nullptr && read(fd, buffer, size) == static_cast<ssize_t>(size)) {
      done = static_cast<long long>(size);
    }
    std::free(buffer);
  }
  close(fd);
  return done;
}

// RACES.SAV and every .sav of the race folder.
std::vector<std::string> archiveFiles(const LargeArchive& archive) {
  const ArchiveLayout& layout = archive.Store().Layout();
  std::vector<std::string> paths = {layout.RaceFile(LargeArchive::kGame)};
  for (const auto& entry : std::filesystem::directory_iterator(
           layout.RaceDirectory(LargeArchive::kGame, LargeArchive::kRace))) {
    if (entry.path().extension() == ".sav") paths.push_back(entry.path().string());
  }
  return paths;
}

// The player post the archive holds, counted turn by turn.
int32_t storedPlayerPost(const LargeArchive& archive) {
  int32_t count = 0;
  for (int turn = archive.FirstTurn(); turn <= archive.LastTurn(); ++turn) {
    SmartCache table;
    archive.Store().ReadTable(
        archive.Store().Layout().TurnFile(LargeArchive::kGame, LargeArchive::kRace, turn), table);
    const int32_t type = table.findColumn(MSGTYP);
    for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
      const CacheRow row = table.rowAt(p);
      if (!row.isNull(type) && row.getLong(type) == kPlayerMessage) ++count;
    }
  }
  return count;
}

// What All Turns must leave: every stored player post, in order of race.
void checkAllTurns(const Window& window, int32_t playerPost) {
  const SmartCache& messages = window.game.MessageTable();
  Check(window.ui.errors.empty(), "All Turns showed an error");
  Check(messages.rowCount() == playerPost, "All Turns kept " + std::to_string(messages.rowCount()) +
                                               " rows of the " + std::to_string(playerPost) +
                                               " stored player post");
  const int32_t race = messages.findColumn(MSGRACNO);
  int32_t before = INT32_MIN;
  for (CachePosition p = messages.begin(); p != messages.end(); p = messages.next(p)) {
    const CacheRow row = messages.rowAt(p);
    const int32_t key = row.isNull(race) ? INT32_MIN : row.getLong(race);
    Check(key >= before, "All Turns left its rows out of the order of race");
    before = key;
  }
}

struct AllTurnsResult {
  Series runs;
  std::unique_ptr<Window> view;  // a window showing the All Turns view
};

AllTurnsResult allTurns(Context& context, const LargeArchive& archive) {
  Report& report = context.report;
  report.Section(kAllTurns);
  report.Note("BrowseCommands::OnAllTurns on a window that shows the latest turn, against reading");
  report.Note("RACES.SAV and every .sav of the race folder (listed before), each whole into a buffer");
  report.Note("of its size taken before and freed after the read, so the heap reuses its memory.");
  report.Note("Decided by CPU time of the thread; wall time beside. The peak heap is what operator");
  report.Note("new holds at the most during the command, the window's game included, against the");
  report.Note("bytes of the rows it keeps (saveToString of the MessageTable afterwards).");

  const std::vector<std::string> files = archiveFiles(archive);
  Check(files.size() == static_cast<size_t>(archive.Turns()) + 1, "the archive lacks turn files");
  const int32_t playerPost = storedPlayerPost(archive);

  AllTurnsResult result;
  Series reading;
  Alternate(
      context.plan.Warmups(1), context.plan.Repetitions(7),
      [&] {
        long long total = 0;
        const Sample taken = Time([&] {
          for (const std::string& path : files) {
            const long long size = readWhole(path);
            total = size < 0 || total < 0 ? -1 : total + size;
          }
        });
        Check(total > 0, "cannot read the archive's files");
        return taken;
      },
      [&] {
        Window window(archive);
        window.Load(archive, -1);
        const Sample taken = Time([&] { window.commands.OnAllTurns(); });
        checkAllTurns(window, playerPost);
        return taken;
      },
      reading, result.runs);

  RatioGoal time;
  time.what = "All Turns, " + std::to_string(archive.Turns()) + " turns x 300";
  time.ours = result.runs.Cpu();
  time.theirs = reading.Cpu();
  time.clock = "cpu";
  time.baseline = "reading its files";
  time.details = "wall " + FormatSeconds(result.runs.Wall()) + " / " +
                 FormatSeconds(reading.Wall()) + ", faults " +
                 std::to_string(static_cast<long long>(result.runs.Faults())) + " / " +
                 std::to_string(static_cast<long long>(reading.Faults())) + ", " +
                 std::to_string(playerPost) + " rows kept";
  time.limit = 3;
  report.Line(time);

  // The heap, in runs of its own: counting costs a little on each allocation.
  std::vector<double> peaks, starts;
  double kept = 0;
  for (int i = 0; i < context.plan.Repetitions(5); ++i) {
    memory_counter::Start();
    auto window = std::make_unique<Window>(archive);
    window->Load(archive, -1);
    starts.push_back(static_cast<double>(memory_counter::Current()));
    memory_counter::ResetPeak();
    window->commands.OnAllTurns();
    peaks.push_back(static_cast<double>(memory_counter::Peak()));
    memory_counter::Stop();
    checkAllTurns(*window, playerPost);
    kept = static_cast<double>(saveToString(window->game.MessageTable()).size());
    result.view = std::move(window);
  }
  RatioGoal memory;
  memory.what = "All Turns, peak heap";
  memory.ours = Median(peaks);
  memory.theirs = kept;
  memory.bytes = true;
  memory.baseline = "the bytes of the rows kept";
  memory.details = "at its start " + FormatBytes(Median(starts));
  memory.limit = 1.5;
  report.Line(memory);
  return result;
}

// ---- The window's commands ------------------------------------------------

struct NamedFilter {
  std::string name;
  MessageFilter filter;
};

// The filters of the window's "Choose Filter Option:" but the races,
// which refresh() takes one by one.
std::vector<NamedFilter> viewFilters() {
  MessageFilter all, post, outgoing;
  all.playerPostOnly = false;
  post.playerPostOnly = true;
  outgoing.playerPostOnly = false;
  outgoing.outgoingOnly = true;
  return {{"all messages", all}, {"player post", post}, {"outgoing post", outgoing}};
}

Series timedRefresh(const Context& context, const CurrentGame& game, const MessageFilter& filter,
                    int repetitions) {
  Series runs;
  Repeat(context.plan.Warmups(2), repetitions,
         [&] {
           size_t items = 0;
           const Sample taken = Time([&] { items = BuildMainWindowView(game, filter).items.size(); });
           Check(items > 0, "a refresh gave an empty list");
           return taken;
         },
         runs);
  return runs;
}

void timeLine(Report& report, const std::string& what, const Series& runs, const std::string& more = "") {
  TimeGoal goal;
  goal.what = what;
  goal.seconds = runs.Cpu();
  goal.clock = "cpu";
  goal.details = "wall " + FormatSeconds(runs.Wall()) + more;
  report.Line(goal);
}

// The refresh of one table with every filter: one line per filter, the
// post of one race as the slowest of the races.
void refreshLines(Context& context, const CurrentGame& game, const std::string& view, int repetitions) {
  Report& report = context.report;
  const SmartCache& messages = game.MessageTable();
  const std::string rows = ", " + std::to_string(messages.rowCount()) + " rows";
  for (const NamedFilter& named : viewFilters()) {
    const Series runs = timedRefresh(context, game, named.filter, repetitions);
    if (!named.filter.playerPostOnly && !named.filter.outgoingOnly) {
      Check(BuildMainWindowView(game, named.filter).items.size() ==
                static_cast<size_t>(std::max(1, messages.rowCount())),
            "the refresh of all messages does not list every row");
    }
    timeLine(report, "refresh, " + view + ", " + named.name, runs, rows);
  }
  Series slowest;
  int32_t slowestRace = -1;
  for (int32_t race = 0; race < kRaceCount; ++race) {
    MessageFilter filter;
    filter.playerPostOnly = true;
    filter.race = race;
    Series runs = timedRefresh(context, game, filter, repetitions);
    if (slowestRace < 0 || runs.Cpu() > slowest.Cpu()) {
      slowest = runs;
      slowestRace = race;
    }
  }
  timeLine(report, "refresh, " + view + ", one race's post", slowest,
           ", slowest race " + std::to_string(slowestRace));
}

// One of the commands that load a turn, from a window showing `from`;
// `prepare` answers the chooser when the command asks.
template <class Command, class Prepare>
Series timedCommand(const Context& context, const LargeArchive& archive, int from, int expected,
                    Command&& command, Prepare&& prepare) {
  Window window(archive);
  Series runs;
  Repeat(context.plan.Warmups(3), context.plan.Repetitions(21),
         [&] {
           window.Load(archive, from);
           prepare(window);
           const Sample taken = Time([&] { command(window); });
           Check(window.ui.errors.empty() && window.game.Turn() == expected &&
                     window.game.MessageTable().rowCount() == 300,
                 "a command did not load turn " + std::to_string(expected));
           return taken;
         },
         runs);
  return runs;
}

// Find in the window, from a window showing the latest turn, for each of
// the search texts; the window that shows the most hits is kept in
// `largest` for the refresh of its view.
void findLines(Context& context, const LargeArchive& archive, std::unique_ptr<Window>& largest) {
  for (const SearchCase& search : kSearchCases) {
    auto window = std::make_unique<Window>(archive);
    Series runs;
    Repeat(context.plan.Warmups(2), context.plan.Repetitions(7),
           [&] {
             window->Load(archive, -1);
             window->ui.findAnswers.push_back({search.text, search.ignoreCase});
             const Sample taken = Time([&] { window->commands.OnFind(); });
             Check(window->ui.errors.empty() && window->game.Turn() == archive.LastTurn() &&
                       window->game.MessageTable().rowCount() > 0,
                   std::string("Find found nothing of \"") + search.text + "\"");
             return taken;
           },
           runs);
    const int32_t hits = window->game.MessageTable().rowCount();
    timeLine(context.report,
             std::string("Find, ") + search.kind + " text" + (search.ignoreCase ? ", ignoring case" : ""),
             runs, ", " + std::to_string(hits) + " hits");
    if (!largest || hits > largest->game.MessageTable().rowCount()) largest = std::move(window);
  }
}

void commandLines(Context& context, const LargeArchive& archive, const AllTurnsResult& allTurns,
                  const SlowestSearch& search) {
  Report& report = context.report;
  report.Section(kCommands);
  report.Note("Each against an absolute limit of 100 ms, natively, in one process: the command");
  report.Note("alone (the refresh it asks for is a line of its own). Decided by CPU time of the");
  report.Note("thread, wall time beside; the search by the wall time of the child process, as above.");

  Window latest(archive);
  latest.Load(archive, -1);
  refreshLines(context, latest.game, "latest turn", context.plan.Repetitions(21));
  refreshLines(context, allTurns.view->game, "All Turns view", context.plan.Repetitions(7));

  timeLine(report, "All Turns", allTurns.runs);
  TimeGoal searching;
  searching.what = "search, slowest: " + search.what.substr(search.what.find(',') + 2);
  searching.seconds = search.runs.Wall();
  searching.clock = "wall";
  searching.details = "cpu " + FormatSeconds(search.runs.Cpu());
  report.Line(searching);

  std::unique_ptr<Window> found;
  findLines(context, archive, found);
  refreshLines(context, found->game, "Find view", context.plan.Repetitions(7));

  const int middle = archive.FirstTurn() + archive.Turns() / 2;
  const auto nothing = [](Window&) {};
  timeLine(report, "Next Turn",
           timedCommand(context, archive, middle, middle + 1,
                        [](Window& w) { w.commands.OnNextTurn(); }, nothing));
  timeLine(report, "Previous Turn",
           timedCommand(context, archive, middle, middle - 1,
                        [](Window& w) { w.commands.OnPrevTurn(); }, nothing));
  timeLine(report, "Choose Turn",
           timedCommand(context, archive, -1, middle, [](Window& w) { w.commands.OnTurnList(); },
                        [&](Window& w) { w.ui.WillChoose(archive.Turns() / 2); }));
  timeLine(report, "Load Game (its latest turn)",
           timedCommand(context, archive, middle, archive.LastTurn(),
                        [](Window& w) { w.commands.OnLoadGame(); },
                        [](Window& w) { w.ui.WillChoose(0); }));
}

}  // namespace

void MeasureArchive(Context& context, const LargeArchive& archive) {
  const AllTurnsResult result = allTurns(context, archive);
  const SlowestSearch search = MeasureSearch(context, archive);
  MeasureReport(context, archive);
  commandLines(context, archive, result, search);
}

}  // namespace goals
