// Loading tables of 10 to 100,000 columns: the time per byte, which stays
// flat when the columns are matched in time proportional to their number.
// (The goals of loading, saving and sorting turn tables are measured by
// vandor_goals, against their baselines.)
#include <benchmark/benchmark.h>

#include <sstream>
#include <vector>

#include "bench/timing.h"
#include "cache/cache_stream.h"
#include "cache/test_bytes.h"
#include "cache/type_codes.h"

namespace {

// Loads `bytes` into a table; the stream is made before the clock starts.
double timedLoad(const std::string& bytes) {
  std::istringstream in(bytes);
  SmartCache table;
  const double t = timing::Seconds([&] { loadFromStream(table, in); });
  benchmark::DoNotOptimize(table.rowCount());
  return t;
}

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

}  // namespace

BENCHMARK(BM_LoadWideTable)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
