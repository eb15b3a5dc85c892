// The classification of captured texts and a capture from the in-process
// fake game. (The refresh, All Turns and the other commands over a large
// archive are measured by vandor_goals, against their goals.)
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/message_capture.h"
#include "app/test_user_interface.h"
#include "archive/turn_store.h"
#include "sim/data_generator.h"
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

}  // namespace

BENCHMARK(BM_AddMessageRow)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureFromFake)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
