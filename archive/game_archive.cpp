#include "archive/game_archive.h"

#include <algorithm>
#include <fstream>

#include "archive/archive_names.h"
#include "archive/archive_sites.h"
#include "archive/file_group_writer.h"
#include "archive/path_text.h"
#include "archive/turn_text.h"
#include "cache/cache_stream.h"
#include "reader/current_game.h"
#include "support/lexc.h"
#include "support/text_format.h"

namespace {

const char kLoadError[] = "Error while loading sav files. Details: \r\n ";
const char kSaveError[] = "Error while writing sav files. Details: \r\n ";

// The guard of every write: a named game, a race and a real turn.
bool hasTurnToStore(const CurrentGame& current) {
  return !current.GameName().empty() && current.RaceNumber() >= 0 &&
         current.Turn() >= CurrentGame::kFirstTurn;
}

}  // namespace

GameArchive::GameArchive(ProgramDirectory directory, ArchiveUi& ui, FileOps& files)
    : root_(directory.ArchiveRoot()), ui_(ui), files_(files) {}

std::string GameArchive::GameDirectory(const std::string& game) const {
  std::string path = root_ + game;
  if (path.back() != kPathSeparator) path += kPathSeparator;
  return path;
}

std::string GameArchive::RaceFile(const std::string& game) const {
  return GameDirectory(game) + "RACES.SAV";
}

std::string GameArchive::RaceDirectory(const std::string& game, int32_t race) const {
  return GameDirectory(game) + std::to_string(race) + kPathSeparator;
}

std::string GameArchive::TurnFile(const std::string& game, int32_t race, int32_t turn) const {
  return RaceDirectory(game, race) + std::to_string(turn) + ".sav";
}

std::string GameArchive::TextFile(const std::string& game, int32_t race, int32_t turn) const {
  return RaceDirectory(game, race) + std::to_string(turn) + ".txt";
}

std::vector<GameArchive::Entry> GameArchive::Entries(const std::string& directory) const {
  std::vector<Entry> entries;
  std::error_code error;
  std::filesystem::directory_iterator it(ToPath(directory), error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::string name;
    if (!FromPath(it->path().filename(), &name)) continue;
    std::error_code ignored;
    entries.push_back(Entry{name, it->is_directory(ignored)});
  }
  return entries;
}

std::vector<std::string> GameArchive::ListGames() const {
  std::vector<std::string> games;
  for (const Entry& entry : Entries(root_)) {
    if (entry.isDirectory) games.push_back(entry.name);
  }
  return games;
}

std::vector<int32_t> GameArchive::ListRaces(const std::string& game) const {
  std::vector<int32_t> races;
  if (!IsUsableGameName(game)) return races;
  for (const Entry& entry : Entries(GameDirectory(game))) {
    int32_t race;
    if (entry.isDirectory && ParseRaceDirectory(entry.name, &race)) races.push_back(race);
  }
  return races;
}

std::vector<int32_t> GameArchive::ListTurns(const std::string& game, int32_t race) const {
  std::vector<int32_t> turns;
  if (!IsUsableGameName(game) || race < 0 || race >= CurrentGame::kMaxRaces) return turns;
  for (const Entry& entry : Entries(RaceDirectory(game, race))) {
    int32_t turn;
    if (!entry.isDirectory && ParseTurnFile(entry.name, &turn)) turns.push_back(turn);
  }
  return turns;
}

void GameArchive::ReadTableFile(const std::string& path, SmartCache& table) {
  std::ifstream in(ToPath(path), std::ios::binary);
  loadFromStream(table, in);
}

void GameArchive::LoadTurn(CurrentGame& current, std::string game, int32_t race,
                           int32_t turn) const {
  WaitCursor wait(ui_);
  current.RaceTable().resetSchema();
  current.MessageTable().resetSchema();
  current.ClearIdentity();
  if (game.empty()) return;
  try {
    CheckGameName(game);
    ReadTableFile(RaceFile(game), current.RaceTable());
    if (race == -1) {
      const std::vector<int32_t> races = ListRaces(game);
      if (races.empty()) return;
      race = races.front();
    }
    if (turn == -1) {
      const std::vector<int32_t> turns = ListTurns(game, race);
      if (turns.empty()) return;
      turn = *std::max_element(turns.begin(), turns.end());
    }
    ReadTableFile(TurnFile(game, race, turn), current.MessageTable());
    current.SetGameName(game);
    current.SetRaceNumber(race);
    current.SetTurn(turn);
  } catch (const LExc_Base& e) {
    current.SetGameName(std::string());
    current.SetRaceNumber(-1);
    current.SetTurn(0);
    current.MessageTable().resetSchema();
    ui_.ShowError(kLoadError + e.reportText());
  }
}

bool GameArchive::SaveTurn(const CurrentGame& current) const {
  if (!hasTurnToStore(current)) return true;
  try {
    SaveFiles(current);
    return true;
  } catch (const LExc_Base& e) {
    ui_.ShowError(kSaveError + e.reportText());
    return false;
  }
}

void GameArchive::SaveFiles(const CurrentGame& current) const {
  const std::string& game = current.GameName();
  CheckGameName(game);
  MakeTurnDirectories(game, current.RaceNumber());
  FileGroupWriter files(files_);
  files.Add(RaceFile(game),
            [&](std::ostream& out) { saveToStream(current.RaceTable(), out); });
  files.Add(TurnFile(game, current.RaceNumber(), current.Turn()),
            [&](std::ostream& out) { saveToStream(current.MessageTable(), out); });
  files.Commit();
}

bool GameArchive::ExportTurnText(const CurrentGame& current) const {
  if (!hasTurnToStore(current)) return true;
  try {
    const std::string& game = current.GameName();
    CheckGameName(game);
    MakeTurnDirectories(game, current.RaceNumber());
    FileGroupWriter files(files_);
    files.Add(TextFile(game, current.RaceNumber(), current.Turn()),
              [&](std::ostream& out) { WriteTurnText(current, out); });
    files.Commit();
    return true;
  } catch (const LExc_Base& e) {
    ui_.ShowError(kSaveError + e.reportText());
    return false;
  }
}

void GameArchive::CheckGameName(const std::string& game) {
  if (!IsUsableGameName(game)) {
    raiseBadArg(archive_site::kBadGameName,
                formatText("game name \"%s\" cannot be used as a directory name", game.c_str()));
  }
}

void GameArchive::MakeTurnDirectories(const std::string& game, int32_t race) const {
  for (const std::string& path : {root_, GameDirectory(game), RaceDirectory(game, race)}) {
    std::error_code error;
    std::filesystem::create_directories(ToPath(path), error);
    if (error) {
      raiseUnexpected(archive_site::kCreateDirectory,
                      formatText("cannot create directory \"%s\"", path.c_str()));
    }
  }
}
