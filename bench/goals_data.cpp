#include "bench/goals_data.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/stored_turns.h"
#include "bench/goals_report.h"
#include "reader/current_game.h"
#include "reader/game_bounds.h"
#include "reader/game_tables.h"
#include "sim/data_generator.h"

namespace goals {

Plan Plan::FromEnvironment() {
  Plan plan;
  plan.quick = std::getenv("VANDOR_BENCH_QUICK") != nullptr;
  return plan;
}

int Plan::RepetitionsFor(int rows) const {
  if (quick) return 1;
  if (rows <= 1000) return 51;
  if (rows <= 10000) return 21;
  if (rows <= 100000) return 9;
  return 5;
}

std::unique_ptr<CurrentGame> GeneratedMessages(int rows) {
  auto game = std::make_unique<CurrentGame>();
  DataGenerator data(42);
  data.AddRaces(*game);
  DefineTableColumns(*game, game->MessageTable());
  for (int turn = 0; rows > 0; ++turn, rows -= 300) {
    data.AddMessages(*game, kFirstTurn + turn, std::min(rows, 300));
  }
  game->SetGameName(LargeArchive::kGame);
  game->SetRaceNumber(LargeArchive::kRace);
  return game;
}

ScratchFolder::ScratchFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp");
  if (pattern.back() != '/') pattern += '/';
  pattern += "vandor-goals-XXXXXX";
  Check(mkdtemp(&pattern[0]) != nullptr, "cannot make a scratch folder from " + pattern);
  path_ = pattern + "/";
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

LargeArchive::LargeArchive(const std::string& folder, int turns)
    : root_(folder + "archive/"),
      store_(ArchiveLayout(ProgramDirectory(root_))),
      turns_(turns) {
  std::filesystem::create_directories(root_);
  testing_ui::ScriptedUi ui;
  DataGenerator(13).MakeTurns(kGame, turns, 300, [&](const CurrentGame& game) {
    Check(SaveTurnOrSay(store_, ui, game) && ExportTurnTextOrSay(store_, ui, game),
          "cannot store a turn of the large archive");
  });
}

int LargeArchive::FirstTurn() const { return kFirstTurn; }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  Check(static_cast<bool>(out), "cannot write " + path);
}

}  // namespace goals
