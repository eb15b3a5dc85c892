// Searching a whole archive of 500 turns of 300 messages on disk, as
// `vandormsg-archive search` does: case-sensitive, and with the letters and
// umlauts folded.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "archive/message_search.h"
#include "archive/turn_store.h"
#include "bench/timing.h"
#include "sim/data_generator.h"

namespace {

void BM_SearchArchive(benchmark::State& state) {
  const int turns = timing::Size(static_cast<int>(state.range(0)));
  const bool ignoreCase = state.range(1) != 0;
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "vandor-bench-search";
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  const TurnStore archive(ArchiveLayout(ProgramDirectory(path.string() + "/")));
  DataGenerator(17).MakeTurns("Benchmark", turns, 300,
                              [&](const CurrentGame& game) { archive.SaveTurn(game); });

  SearchOptions options;
  options.text = ignoreCase ? "FLEET" : "fleet";
  options.ignoreCase = ignoreCase;
  std::vector<double> times;
  size_t hits = 0;
  for (auto _ : state) {
    hits = 0;
    const double t = timing::Seconds([&] {
      SearchArchive(archive, options, [&](const SearchHit&) { ++hits; },
                    [](const std::string&, const std::string&) {});
    });
    times.push_back(t);
    state.SetIterationTime(t);
  }
  state.counters["ms"] = timing::Median(times) * 1000;
  state.counters["messages"] = turns * 300.0;
  state.counters["hits"] = static_cast<double>(hits);
  std::filesystem::remove_all(path);
}

}  // namespace

BENCHMARK(BM_SearchArchive)
    ->Args({500, 0})
    ->Args({500, 1})
    ->ArgNames({"turns", "ignore_case"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
