// Loading, saving and sorting turn tables, each against the baseline its
// goal names, measured alternately in the same run.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "archive/file_system.h"
#include "bench/goals.h"
#include "bench/goals_child.h"
#include "bench/goals_clock.h"
#include "cache/cache_sort.h"
#include "cache/cache_stream.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"

namespace goals {

const char kFreshLoad[] = "Loading a turn file in a fresh process";
const char kWarmLoad[] = "Loading turn bytes with a warm heap";
const char kSqliteLoad[] = "Loading against SQLite reading and keeping the same rows";
const char kSave[] = "Saving a turn file";
const char kSort[] = "Sorting by race";

namespace {

std::string count(double value) { return std::to_string(static_cast<long long>(value + 0.5)); }

// "cpu 1.20 ms / 0.800 ms": a figure of ours and the baseline's beside it.
std::string beside(const char* name, double ours, double theirs) {
  return std::string(name) + " " + FormatSeconds(ours) + " / " + FormatSeconds(theirs);
}

// Which clock decides a goal of times, and whether page faults are shown.
enum class Decides { kWall, kCpu };

// The goal of `ours` against `theirs`: the ratio of the deciding clock's
// medians, the other clock's beside it and, with `faults`, the page faults.
RatioGoal timedRatio(std::string what, const Series& ours, const Series& theirs, Decides clock,
                     std::string baseline, double limit, bool faults) {
  const bool wall = clock == Decides::kWall;
  RatioGoal goal;
  goal.what = std::move(what);
  goal.ours = wall ? ours.Wall() : ours.Cpu();
  goal.theirs = wall ? theirs.Wall() : theirs.Cpu();
  goal.clock = wall ? "wall" : "cpu";
  goal.baseline = std::move(baseline);
  goal.details = wall ? beside("cpu", ours.Cpu(), theirs.Cpu()) : beside("wall", ours.Wall(), theirs.Wall());
  if (faults) goal.details += ", faults " + count(ours.Faults()) + " / " + count(theirs.Faults());
  goal.limit = limit;
  return goal;
}

// ---- A fresh process ------------------------------------------------------

// One run of the load probe: the child's own figures of its timed part.
Sample probe(const Context& context, const std::string& file, const char* mode,
             long long expected) {
  const ChildRun run = RunChild({context.loadProbe, file, mode}, Output::kKeep);
  std::istringstream line(run.out);
  Sample taken;
  long long amount = -1;
  line >> taken.wall >> taken.cpu >> taken.faults >> amount;
  Check(static_cast<bool>(line), "the load probe printed \"" + run.out + "\"");
  Check(amount == expected, std::string("the load probe's ") + mode + " of " + file + " gave " +
                                std::to_string(amount) + ", not " + std::to_string(expected));
  return taken;
}

void freshLoad(Context& context, int rows, const std::string& file, size_t bytes) {
  const Plan& plan = context.plan;
  Series read, load;
  Alternate(
      plan.Warmups(rows >= 1000000 ? 1 : 2), plan.RepetitionsFor(rows),
      [&] { return probe(context, file, "read", static_cast<long long>(bytes)); },
      [&] { return probe(context, file, "load", rows); }, read, load);
  context.report.Section(kFreshLoad);
  context.report.Line(timedRatio("load " + FormatRows(rows) + " rows, fresh process", load, read,
                                 Decides::kWall, "reading the file", 2, true));
}

// ---- In memory ------------------------------------------------------------

// The stream the loads read, set back to its start for each run.
void rewind(std::istringstream& in) {
  in.clear();
  in.seekg(0);
}

// One load of `in` into a fresh table, destroyed after the timed part.
Sample timedLoad(std::istringstream& in, int rows) {
  rewind(in);
  auto table = std::make_unique<SmartCache>();
  const Sample taken = Time([&] { loadFromStream(*table, in); });
  Check(table->rowCount() == rows, "a load gave " + std::to_string(table->rowCount()) +
                                       " rows, not " + std::to_string(rows));
  return taken;
}

void warmLoad(Context& context, int rows, const std::string& bytes) {
  std::istringstream in(bytes);
  {
    SmartCache loaded;
    loadFromStream(loaded, in);
    Check(saveToString(loaded) == bytes, "a loaded table does not save as the bytes it was loaded from");
  }
  std::string copy(bytes.size(), '\0');
  const auto size = static_cast<std::streamsize>(bytes.size());
  Series read, load;
  Alternate(
      context.plan.Warmups(3), context.plan.RepetitionsFor(rows),
      [&] {
        rewind(in);
        const Sample taken = Time([&] { in.read(&copy[0], size); });
        Check(in.gcount() == size, "the stream gave fewer bytes than it holds");
        return taken;
      },
      [&] { return timedLoad(in, rows); }, read, load);
  context.report.Section(kWarmLoad);
  context.report.Line(timedRatio("load " + FormatRows(rows) + " rows, warm heap", load, read,
                                 Decides::kCpu, "reading the bytes", 1.5, true));
}

// ---- SQLite ---------------------------------------------------------------

// The values of one message row, as a program keeping them in SQLite
// would hold them after reading.
struct MessageValues {
  std::optional<int32_t> turn, id, type;
  std::optional<std::string> text;
  std::optional<int32_t> race, incoming;
  std::optional<std::array<uint8_t, 16>> stamp;
};

std::vector<MessageValues> valuesOf(const SmartCache& table) {
  const CacheRow columns = table.templateRow();
  const int32_t turn = columns.columnIndex(TURN), id = columns.columnIndex(MSGID),
                type = columns.columnIndex(MSGTYP), text = columns.columnIndex(MSGTXT),
                race = columns.columnIndex(MSGRACNO), incoming = columns.columnIndex(MSGINCOMING),
                stamp = columns.columnIndex(MSGHROWID);
  const auto number = [](const CacheRow& row, int32_t k) -> std::optional<int32_t> {
    if (row.isNull(k)) return std::nullopt;
    return row.getLong(k);
  };
  std::vector<MessageValues> values;
  values.reserve(static_cast<size_t>(table.rowCount()));
  for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
    const CacheRow row = table.rowAt(p);
    MessageValues v;
    v.turn = number(row, turn);
    v.id = number(row, id);
    v.type = number(row, type);
    if (!row.isNull(text)) v.text = row.getString(text);
    v.race = number(row, race);
    v.incoming = number(row, incoming);
    if (!row.isNull(stamp)) {
      std::array<uint8_t, 16> bytes{};
      row.getTimestamp(stamp).toBytes(bytes.data());
      v.stamp = bytes;
    }
    values.push_back(std::move(v));
  }
  return values;
}

// The message rows in an in-memory SQLite table, inserted once with
// prepared statements in one transaction, binding the values in place.
class SqliteMessages {
 public:
  explicit SqliteMessages(const std::vector<MessageValues>& rows) {
    Check(sqlite3_open(":memory:", &db_) == SQLITE_OK, "cannot open an SQLite database");
    exec("CREATE TABLE messages (turn INTEGER, msgid INTEGER, msgtyp INTEGER, msgtxt TEXT,"
         " msgracno INTEGER, msgincoming INTEGER, msghrowid BLOB)");
    exec("BEGIN");
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db_, "INSERT INTO messages VALUES (?, ?, ?, ?, ?, ?, ?)", -1,
                             &insert, nullptr) == SQLITE_OK,
          "cannot prepare the insert");
    const auto number = [&](int k, const std::optional<int32_t>& value) {
      return value ? sqlite3_bind_int(insert, k, *value) : sqlite3_bind_null(insert, k);
    };
    for (const MessageValues& row : rows) {
      int bound = number(1, row.turn) | number(2, row.id) | number(3, row.type);
      bound |= row.text ? sqlite3_bind_text(insert, 4, row.text->data(),
                                            static_cast<int>(row.text->size()), SQLITE_STATIC)
                        : sqlite3_bind_null(insert, 4);
      bound |= number(5, row.race) | number(6, row.incoming);
      bound |= row.stamp ? sqlite3_bind_blob(insert, 7, row.stamp->data(), 16, SQLITE_STATIC)
                         : sqlite3_bind_null(insert, 7);
      Check(bound == SQLITE_OK && sqlite3_step(insert) == SQLITE_DONE, "cannot insert a row");
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec("COMMIT");
  }
  ~SqliteMessages() { sqlite3_close(db_); }
  SqliteMessages(const SqliteMessages&) = delete;
  SqliteMessages& operator=(const SqliteMessages&) = delete;

  // Every row's values into `kept`, as a program reading them would keep
  // them.
  void ReadAll(std::vector<MessageValues>& kept) const {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db_,
                       "SELECT turn, msgid, msgtyp, msgtxt, msgracno, msgincoming, msghrowid"
                       " FROM messages",
                       -1, &select, nullptr);
    const auto number = [&](int k) -> std::optional<int32_t> {
      if (sqlite3_column_type(select, k) == SQLITE_NULL) return std::nullopt;
      return sqlite3_column_int(select, k);
    };
    while (sqlite3_step(select) == SQLITE_ROW) {
      MessageValues v;
      v.turn = number(0);
      v.id = number(1);
      v.type = number(2);
      if (sqlite3_column_type(select, 3) != SQLITE_NULL) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, 3));
        v.text.emplace(text, static_cast<size_t>(sqlite3_column_bytes(select, 3)));
      }
      v.race = number(4);
      v.incoming = number(5);
      if (sqlite3_column_type(select, 6) != SQLITE_NULL && sqlite3_column_bytes(select, 6) == 16) {
        std::array<uint8_t, 16> bytes{};
        std::memcpy(bytes.data(), sqlite3_column_blob(select, 6), 16);
        v.stamp = bytes;
      }
      kept.push_back(std::move(v));
    }
    sqlite3_finalize(select);
  }

 private:
  void exec(const char* sql) {
    Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK,
          std::string("SQLite refused ") + sql);
  }

  sqlite3* db_ = nullptr;
};

bool sameValues(const MessageValues& a, const MessageValues& b) {
  return a.turn == b.turn && a.id == b.id && a.type == b.type && a.text == b.text &&
         a.race == b.race && a.incoming == b.incoming && a.stamp == b.stamp;
}

// `bytes` is taken over: the stream holds its own copy, and the string is
// let go before the runs, for the memory of the largest table.
void sqliteLoad(Context& context, int rows, std::string bytes, const SqliteMessages& sqlite,
                const MessageValues& first, const MessageValues& last) {
  std::istringstream in(bytes);
  std::string().swap(bytes);
  Series select, load;
  Alternate(
      context.plan.Warmups(rows >= 1000000 ? 1 : 2), context.plan.RepetitionsFor(rows),
      [&] {
        std::vector<MessageValues> kept;
        const Sample taken = Time([&] { sqlite.ReadAll(kept); });
        Check(kept.size() == static_cast<size_t>(rows) && sameValues(kept.front(), first) &&
                  sameValues(kept.back(), last),
              "SQLite did not give back the rows inserted");
        return taken;
      },
      [&] { return timedLoad(in, rows); }, select, load);
  RatioGoal goal = timedRatio("load " + FormatRows(rows) + " rows, against SQLite", load, select,
                              Decides::kCpu, "SQLite selecting and keeping them", 1, true);
  goal.bound = Bound::kBelow;
  context.report.Section(kSqliteLoad);
  context.report.Line(goal);
}

// ---- Saving ---------------------------------------------------------------

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void save(Context& context, int rows, const SmartCache& table, const std::string& bytes) {
  const std::string ours = context.scratch.Path() + "save-ours.sav";
  const std::string theirs = context.scratch.Path() + "save-write.sav";
  FileSystem& files = FileSystem::Default();
  Series write, saved;
  Alternate(
      context.plan.Warmups(2), context.plan.RepetitionsFor(rows),
      [&] {
        ssize_t written = -1;
        const Sample taken = Time([&] {
          const int fd = open(theirs.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
          if (fd < 0) return;
          written = ::write(fd, bytes.data(), bytes.size());
          close(fd);
        });
        Check(written == static_cast<ssize_t>(bytes.size()), "cannot write " + theirs + " at once");
        return taken;
      },
      [&] {
        bool closed = false;
        const Sample taken = Time([&] {
          std::unique_ptr<std::ostream> out = files.Create(ours);
          if (!out) return;
          saveToStream(table, *out);
          closed = files.Close(std::move(out));
        });
        Check(closed, "cannot save " + ours);
        return taken;
      },
      write, saved);
  Check(fileBytes(ours) == bytes, "the saved file does not hold the table's bytes");
  context.report.Section(kSave);
  context.report.Line(timedRatio("save " + FormatRows(rows) + " rows to a file", saved, write,
                                 Decides::kCpu, "one write(2) of its bytes", 1.5, false));
  std::remove(ours.c_str());
  std::remove(theirs.c_str());
}

// ---- Sorting --------------------------------------------------------------

void sort(Context& context, int rows, SmartCache& table) {
  const int32_t key = table.templateRow().columnIndex(MSGRACNO);
  std::vector<CacheRow> original;
  std::vector<std::pair<int32_t, int32_t>> unsorted;  // (key, position); NULL first, as sortRows puts it
  for (int32_t i = 0; i < table.rowCount(); ++i) {
    original.push_back(table.rowAt(i));
    const CacheRow& row = original.back();
    unsorted.emplace_back(row.isNull(key) ? INT32_MIN : row.getLong(key), i);
  }
  const auto byKey = [](const std::pair<int32_t, int32_t>& a, const std::pair<int32_t, int32_t>& b) {
    return a.first < b.first;
  };
  std::vector<std::pair<int32_t, int32_t>> expected = unsorted;
  std::stable_sort(expected.begin(), expected.end(), byKey);

  Series pairs, ours;
  Alternate(
      context.plan.Warmups(2), context.plan.RepetitionsFor(rows),
      [&] {
        std::vector<std::pair<int32_t, int32_t>> keys = unsorted;
        return Time([&] { std::stable_sort(keys.begin(), keys.end(), byKey); });
      },
      [&] {
        table.clearRows();
        for (const CacheRow& row : original) table.appendRow(row);
        const Sample taken = Time([&] { sortRows(table, key); });
        for (size_t k = 0; k < expected.size(); ++k) {
          Check(table.rowAt(static_cast<int32_t>(k))
                    .sharesDataWith(original[static_cast<size_t>(expected[k].second)]),
                "sortRows did not give the stable order by race");
        }
        return taken;
      },
      pairs, ours);
  table.clearRows();
  for (const CacheRow& row : original) table.appendRow(row);

  context.report.Section(kSort);
  context.report.Line(timedRatio("sort " + FormatRows(rows) + " rows by MSGRACNO", ours, pairs,
                                 Decides::kCpu, "std::stable_sort of (key, index) pairs", 3, false));
}

}  // namespace

void MeasureTables(Context& context) {
  Report& report = context.report;
  report.Section(kFreshLoad);
  report.Note("A new vandor_load_probe for every run: ours loads the file through the archive's");
  report.Note("FileSystem (an ifstream) into a table, the baseline reads it with one read(2) into a");
  report.Note("fresh buffer of its size. Decided by wall time, taken inside the child from before");
  report.Note("opening the file to after the load; the file is in the page cache. Beside: CPU time");
  report.Note("and minor page faults of the same part, ours / the baseline's.");
  report.Section(kWarmLoad);
  report.Note("In one process: loadFromStream from an istringstream into a fresh table (destroyed");
  report.Note("after the timed part), against reading the same stream into a buffer of the same");
  report.Note("size used before. Decided by CPU time of the thread; wall time beside.");
  report.Section(kSqliteLoad);
  report.Note("SQLite: an in-memory table filled once before, the timed part a SELECT of every row");
  report.Note("into a vector of structs holding the values (texts as std::string). Ours:");
  report.Note("loadFromStream of the saved bytes. Decided by CPU time of the thread.");
  report.Section(kSave);
  report.Note("Ours: FileSystem::Default().Create, saveToStream and Close, as the archive writes a");
  report.Note("file; baseline: open, one write(2) of the same bytes, close, in the same folder.");
  report.Note("Both replace the file they wrote in the run before. Decided by CPU time of the thread.");
  report.Section(kSort);
  report.Note("sortRows of the generated table, rebuilt in its first order outside the timed part,");
  report.Note("against std::stable_sort of (key, index) pairs of the same keys, NULL first.");
  report.Note("Decided by CPU time of the thread.");

  for (const int full : {1000, 10000, 100000, 1000000}) {
    const int rows = context.plan.Rows(full);
    std::unique_ptr<CurrentGame> game = GeneratedMessages(rows);
    std::string bytes = saveToString(game->MessageTable());
    const size_t size = bytes.size();
    const std::string file = context.scratch.Path() + "turn-" + FormatRows(rows) + ".sav";
    WriteFile(file, bytes);
    if (full <= 100000) warmLoad(context, rows, bytes);
    if (full == 10000 || full == 100000) save(context, rows, game->MessageTable(), bytes);
    if (full == 100000) sort(context, rows, game->MessageTable());
    {
      std::vector<MessageValues> values = valuesOf(game->MessageTable());
      game.reset();
      const SqliteMessages sqlite(values);
      const MessageValues first = values.front(), last = values.back();
      std::vector<MessageValues>().swap(values);
      sqliteLoad(context, rows, std::move(bytes), sqlite, first, last);
    }
    freshLoad(context, rows, file, size);
    std::remove(file.c_str());
  }
}

}  // namespace goals
