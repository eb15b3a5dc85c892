// The commands at ten times the size of a large game: the refresh's list,
// the classification, a capture from the in-process fake and the all-turns
// view over an archive on disk.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "cache/cache_stream.h"
#include "app/browse_commands.h"
#include "app/main_window_view.h"
#include "app/message_capture.h"
#include "app/test_user_interface.h"
#include "archive/turn_store.h"
#include "sim/data_generator.h"
#include "bench/memory_counter.h"
#include "bench/timing.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "reader/message_classifier.h"
#include "sim/fake_game.h"

namespace {

// A scratch folder for an archive, removed at the end.
class ScratchArchive {
 public:
  explicit ScratchArchive(const char* name)
      : path_(std::filesystem::temp_directory_path() / name),
        archive_(ArchiveLayout(ProgramDirectory(path_.string() + "/"))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchArchive() { std::filesystem::remove_all(path_); }
  const TurnStore& archive() const { return archive_; }
  testing_ui::ScriptedUi& ui() { return ui_; }

 private:
  std::filesystem::path path_;
  testing_ui::ScriptedUi ui_;
  TurnStore archive_;
};

void BM_RefreshList(benchmark::State& state) {
  const int rows = timing::Size(static_cast<int>(state.range(0)));
  CurrentGame game;
  DataGenerator data(7);
  data.AddRaces(game);
  DefineTableColumns(game, game.MessageTable());
  for (int turn = 0; turn * 300 < rows; ++turn) data.AddMessages(game, 2400 + turn, std::min(300, rows - turn * 300));
  game.SetGameName("Benchmark");
  game.SetRaceNumber(3);
  size_t items = 0;
  timing::Measure(state, [&] { items = BuildMainWindowView(game, MessageFilter()).items.size(); });
  state.counters["items"] = static_cast<double>(items);
}

void BM_AddMessageRow(benchmark::State& state) {
  const int count = timing::Size(static_cast<int>(state.range(0)));
  DataGenerator data(9);
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) {
    texts.push_back(i % 3 == 0 ? "FROM  " + DataGenerator::RaceName(i % kRaceCount) + "\r\nTO  you\r\n" + data.Text()
                               : data.Text());
  }
  timing::Measure(state, [&] {
    CurrentGame game;
    data.AddRaces(game);
    DefineTableColumns(game, game.MessageTable());
    for (int i = 0; i < count; ++i) AddMessageRow(game, texts[static_cast<size_t>(i)].c_str(), i + 1, 1, -1);
    benchmark::DoNotOptimize(game.MessageTable().rowCount());
  });
}

void BM_CaptureFromFake(benchmark::State& state) {
  const int incoming = timing::Size(static_cast<int>(state.range(0)));
  DataGenerator data(11);
  const Scenario scenario = data.MakeScenario(incoming);
  ScratchArchive scratch("vandor-bench-capture");
  timing::Measure(state, [&] {
    FakeGame fake(scenario);
    CurrentGame game;
    MessageCapture(fake, scratch.ui(), scratch.archive()).ReadFromGame(game);
    benchmark::DoNotOptimize(game.MessageTable().rowCount());
  });
}

void BM_AllTurns(benchmark::State& state) {
  const int turns = timing::Size(static_cast<int>(state.range(0)));
  ScratchArchive scratch("vandor-bench-allturns");
  DataGenerator(13).MakeTurns("Benchmark", turns, 300,
                              [&](const CurrentGame& game) { scratch.archive().SaveTurn(game); });
  std::vector<double> times, peaks;
  size_t kept = 0;
  int32_t rows = 0;
  for (auto _ : state) {
    CurrentGame game;
    MessageFilter filter;
    BrowseCommands commands(game, scratch.archive(), scratch.ui(), filter);
    scratch.archive().LoadTurn(game, "Benchmark", 3, 2400);
    memory_counter::Start();
    const double t = timing::Seconds([&] { commands.OnAllTurns(); });
    memory_counter::Stop();
    times.push_back(t);
    state.SetIterationTime(t);
    const SmartCache& messages = game.MessageTable();
    rows = messages.rowCount();
    kept = saveToString(messages).size();  // the bytes of the kept rows, as stored
    peaks.push_back(static_cast<double>(memory_counter::Peak()));
  }
  state.counters["ms"] = timing::Median(times) * 1000;
  state.counters["rows"] = rows;
  state.counters["kept_MB"] = static_cast<double>(kept) / 1e6;
  state.counters["peak_MB"] = timing::Median(peaks) / 1e6;
  state.counters["peak_to_kept"] = kept > 0 ? timing::Median(peaks) / static_cast<double>(kept) : 0;
}

}  // namespace

BENCHMARK(BM_RefreshList)->Arg(50000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddMessageRow)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureFromFake)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllTurns)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
