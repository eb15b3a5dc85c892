// The table library against the limit of the machine and against SQLite:
// saving and loading turn tables, and sorting them.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <sstream>
#include <vector>

#include "sim/data_generator.h"
#include "bench/timing.h"
#include "cache/cache_sort.h"
#include "cache/cache_stream.h"
#include "cache/test_bytes.h"
#include "cache/type_codes.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"

namespace {

// One save into memory, the bytes kept from being optimised away.
void saveOnce(const SmartCache& table) {
  std::ostringstream out;
  saveToStream(table, out);
  benchmark::DoNotOptimize(out.str().size());
}

// A MessageTable of `rows` generated messages (turns of 300).
std::unique_ptr<CurrentGame> messages(int rows) {
  auto game = std::make_unique<CurrentGame>();
  DataGenerator data(42);
  data.AddRaces(*game);
  DefineTableColumns(*game, game->MessageTable());
  for (int turn = 0; rows > 0; ++turn, rows -= 300) {
    data.AddMessages(*game, 2400 + turn, std::min(rows, 300));
  }
  return game;
}

void BM_SaveToStream(benchmark::State& state) {
  const auto game = messages(timing::Size(static_cast<int>(state.range(0))));
  const std::string bytes = saveToString(game->MessageTable());
  timing::Compare(
      state,
      [&] { saveOnce(game->MessageTable()); },
      [&] {
        std::ostringstream out;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(out.str().size());
      },
      "ratio_to_memory_write");
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

// Loads `bytes` into a table; the stream is made before the clock starts.
double timedLoad(const std::string& bytes) {
  std::istringstream in(bytes);
  SmartCache table;
  const double t = timing::Seconds([&] { loadFromStream(table, in); });
  benchmark::DoNotOptimize(table.rowCount());
  return t;
}

// Reads `bytes` from a memory stream into `copy`: the physical limit.
double timedRead(const std::string& bytes, std::string& copy) {
  std::istringstream in(bytes);
  return timing::Seconds([&] { in.read(&copy[0], static_cast<std::streamsize>(copy.size())); });
}

void BM_LoadFromStream(benchmark::State& state) {
  const auto game = messages(timing::Size(static_cast<int>(state.range(0))));
  const std::string bytes = saveToString(game->MessageTable());
  std::string copy(bytes.size(), '\0');
  std::vector<double> ours, limit;
  for (auto _ : state) {
    limit.push_back(timedRead(bytes, copy));
    ours.push_back(timedLoad(bytes));
    state.SetIterationTime(ours.back());
  }
  state.counters["ms"] = timing::Median(ours) * 1000;
  state.counters["baseline_ms"] = timing::Median(limit) * 1000;
  state.counters["ratio_to_memory_read"] = timing::Median(ours) / timing::Median(limit);
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

// The message rows in an in-memory SQLite table, with prepared statements
// in one transaction.
class SqliteTable {
 public:
  SqliteTable() {
    sqlite3_open(":memory:", &db_);
    sqlite3_exec(db_,
                 "CREATE TABLE messages (turn INTEGER, msgid INTEGER, msgtyp INTEGER, msgtxt TEXT,"
                 " msgracno INTEGER, msgincoming INTEGER, msghrowid BLOB)",
                 nullptr, nullptr, nullptr);
  }
  ~SqliteTable() { sqlite3_close(db_); }

  void Insert(const SmartCache& table) {
    sqlite3_exec(db_, "DELETE FROM messages; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db_, "INSERT INTO messages VALUES (?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr);
    for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
      const CacheRow row = table.rowAt(p);
      for (int i = 0; i < 7; ++i) {
        if (row.isNull(i)) {
          sqlite3_bind_null(insert, i + 1);
        } else if (i == 3) {
          const std::string text = row.getString(i);
          sqlite3_bind_text(insert, i + 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        } else if (i == 6) {
          uint8_t stamp[16];
          row.getTimestamp(i).toBytes(stamp);
          sqlite3_bind_blob(insert, i + 1, stamp, 16, SQLITE_TRANSIENT);
        } else {
          sqlite3_bind_int(insert, i + 1, row.getLong(i));
        }
      }
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  }

  // Reads every row's values out, as a load would.
  size_t ReadAll() {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db_, "SELECT * FROM messages", -1, &select, nullptr);
    size_t bytes = 0;
    std::string text;
    while (sqlite3_step(select) == SQLITE_ROW) {
      for (int i = 0; i < 7; ++i) {
        if (i == 3 || i == 6) {
          const void* data = i == 3 ? static_cast<const void*>(sqlite3_column_text(select, i))
                                    : sqlite3_column_blob(select, i);
          const int size = sqlite3_column_bytes(select, i);
          text.assign(static_cast<const char*>(data), static_cast<size_t>(size));
          bytes += text.size();
        } else {
          bytes += static_cast<size_t>(sqlite3_column_int(select, i));
        }
      }
    }
    sqlite3_finalize(select);
    return bytes;
  }

 private:
  sqlite3* db_ = nullptr;
};

// A table stream of `columns` columns (longs and short texts) of about
// 4 MB and at least 8 rows: the template names them in order, half the
// rows name them in the reverse order (matched by name) and half in order.
std::string wideStream(int columns) {
  const auto name = [](int j) { return "C" + std::to_string(j); };
  const auto type = [](int j) { return j % 2 == 0 ? SQL_C_LONG : SQL_C_CHAR; };
  const auto record = [&](TestBytes& b, bool reversed, bool cells) {
    b.str("SR").i32(columns);
    for (int k = 0; k < columns; ++k) {
      const int j = reversed ? columns - 1 - k : k;
      b.column(name(j), type(j));
    }
    b.i32(columns).raw(std::string(static_cast<size_t>(columns / 8 + 1), cells ? '\0' : '\xFF'));
    TestBytes values;
    for (int k = 0; cells && k < columns; ++k) {
      const int j = reversed ? columns - 1 - k : k;
      if (type(j) == SQL_C_LONG) {
        values.i32(j);
      } else {
        values.str("text");
      }
    }
    b.i32(static_cast<int32_t>(values.size())).raw(values.bytes());
  };
  TestBytes one;
  record(one, false, true);
  const int rows = std::max<int>(8, static_cast<int>(timing::Size(4 << 20) / one.size()));
  TestBytes stream;
  stream.str("SC").i32(rows);
  record(stream, false, false);
  for (int r = 0; r < rows; ++r) record(stream, r % 2 == 0, true);
  return stream.bytes();
}

// Load time per byte of tables from 10 to 100,000 columns: flat when the
// columns are matched in time proportional to their number.
void BM_LoadWideTable(benchmark::State& state) {
  const std::string bytes = wideStream(static_cast<int>(state.range(0)));
  std::vector<double> times;
  for (auto _ : state) {
    times.push_back(timedLoad(bytes));
    state.SetIterationTime(times.back());
  }
  state.counters["ms"] = timing::Median(times) * 1000;
  state.counters["ns_per_byte"] = timing::Median(times) * 1e9 / static_cast<double>(bytes.size());
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

void BM_LoadAgainstSqlite(benchmark::State& state) {
  const auto game = messages(timing::Size(static_cast<int>(state.range(0))));
  const std::string bytes = saveToString(game->MessageTable());
  SqliteTable sqlite;
  sqlite.Insert(game->MessageTable());
  std::vector<double> ours, theirs;
  for (auto _ : state) {
    theirs.push_back(timing::Seconds([&] { benchmark::DoNotOptimize(sqlite.ReadAll()); }));
    ours.push_back(timedLoad(bytes));
    state.SetIterationTime(ours.back());
  }
  state.counters["ms"] = timing::Median(ours) * 1000;
  state.counters["baseline_ms"] = timing::Median(theirs) * 1000;
  state.counters["ratio_to_sqlite_read"] = timing::Median(ours) / timing::Median(theirs);
}

void BM_SaveAgainstSqlite(benchmark::State& state) {
  const auto game = messages(timing::Size(static_cast<int>(state.range(0))));
  SqliteTable sqlite;
  timing::Compare(
      state,
      [&] { saveOnce(game->MessageTable()); },
      [&] { sqlite.Insert(game->MessageTable()); }, "ratio_to_sqlite_insert");
}

void BM_SortRows(benchmark::State& state) {
  const auto game = messages(timing::Size(static_cast<int>(state.range(0))));
  SmartCache& table = game->MessageTable();
  const std::vector<CacheRow> original = [&] {
    std::vector<CacheRow> rows;
    for (int32_t i = 0; i < table.rowCount(); ++i) rows.push_back(table.rowAt(i));
    return rows;
  }();
  const int32_t key = table.templateRow().columnIndex(MSGRACNO);
  std::vector<double> times;
  for (auto _ : state) {
    table.clearRows();
    for (const CacheRow& row : original) table.appendRow(row);
    const double t = timing::Seconds([&] { sortRows(table, key); });
    times.push_back(t);
    state.SetIterationTime(t);
  }
  state.counters["ms"] = timing::Median(times) * 1000;
}

}  // namespace

BENCHMARK(BM_SaveToStream)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromStream)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWideTable)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAgainstSqlite)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAgainstSqlite)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortRows)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
