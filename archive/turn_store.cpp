#include "archive/turn_store.h"

#include <algorithm>
#include <sstream>

#include "archive/archive_names.h"
#include "archive/archive_sites.h"
#include "archive/file_group_writer.h"
#include "archive/turn_text.h"
#include "cache/cache_stream.h"
#include "reader/current_game.h"
#include "support/text_format.h"

void CheckGameName(const std::string& game) {
  if (!IsUsableGameName(game)) {
    raiseBadArg(archive_site::kBadGameName,
                formatText("game name \"%s\" cannot be used as a directory name", game.c_str()));
  }
}

std::vector<DirectoryEntry> TurnStore::Entries(const std::string& directory) const {
  std::vector<DirectoryEntry> entries;
  files_.List(directory, &entries);
  return entries;
}

std::vector<std::string> TurnStore::ListGames() const {
  std::vector<std::string> games;
  for (const DirectoryEntry& entry : Entries(layout_.Root())) {
    if (entry.isDirectory && IsUsableGameName(entry.name)) games.push_back(entry.name);
  }
  return games;
}

std::vector<int32_t> TurnStore::ListRaces(const std::string& game) const {
  std::vector<int32_t> races;
  if (!IsUsableGameName(game)) return races;
  for (const DirectoryEntry& entry : Entries(layout_.GameDirectory(game))) {
    int32_t race;
    if (entry.isDirectory && ParseRaceDirectory(entry.name, &race)) races.push_back(race);
  }
  return races;
}

std::vector<int32_t> TurnStore::ListTurns(const std::string& game, int32_t race) const {
  std::vector<int32_t> turns;
  if (!IsUsableGameName(game) || !IsRaceNumber(race)) return turns;
  for (const DirectoryEntry& entry : Entries(layout_.RaceDirectory(game, race))) {
    int32_t turn;
    if (!entry.isDirectory && ParseTurnFile(entry.name, &turn)) turns.push_back(turn);
  }
  return turns;
}

void ReadTableFile(FileSystem& files, const std::string& path, SmartCache& table) {
  std::unique_ptr<std::istream> in = files.OpenRead(path);
  if (in) {
    loadFromStream(table, *in);
  } else {
    std::istringstream nothing;
    loadFromStream(table, nothing);
  }
}

void TurnStore::ScanTable(const std::string& path,
                          const std::function<void(const CacheRow&)>& onTemplate,
                          const std::function<void(const ScannedRow&)>& onRow) const {
  std::unique_ptr<std::istream> in = files_.OpenRead(path);
  if (in) {
    scanTableStream(*in, onTemplate, onRow);
  } else {
    std::istringstream nothing;
    scanTableStream(nothing, onTemplate, onRow);
  }
}

bool TurnStore::AppendRows(const std::string& path, SmartCache& table,
                           const std::function<bool(const ScannedRow&)>& wanted) const {
  std::unique_ptr<std::istream> in = files_.OpenRead(path);
  if (in) return appendScannedRows(table, *in, wanted);
  std::istringstream nothing;
  return appendScannedRows(table, nothing, wanted);
}

bool TurnStore::ReadTurnRaces(const std::string& game, int32_t race, int32_t turn,
                              SmartCache& table) const {
  CheckGameName(game);
  const std::string own = layout_.TurnRaceFile(game, race, turn);
  if (files_.Kind(own) == PathKind::kFile) {
    ReadTable(own, table);
    return true;
  }
  ReadTable(layout_.RaceFile(game), table);
  return false;
}

void TurnStore::LoadTurn(CurrentGame& current, std::string game, int32_t race,
                         int32_t turn) const {
  current.RaceTable().resetSchema();
  current.MessageTable().resetSchema();
  current.ClearIdentity();
  if (game.empty()) return;
  try {
    CheckGameName(game);
    ReadTable(layout_.RaceFile(game), current.RaceTable());
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
    ReadTable(layout_.TurnFile(game, race, turn), current.MessageTable());
    current.SetGameName(game);
    current.SetRaceNumber(race);
    current.SetTurn(turn);
  } catch (...) {
    current.SetGameName(std::string());
    current.SetRaceNumber(-1);
    current.SetTurn(0);
    current.MessageTable().resetSchema();
    throw;
  }
}

void TurnStore::SaveTurn(const CurrentGame& current) const {
  if (!current.HasTurn()) return;
  const std::string& game = current.GameName();
  CheckGameName(game);
  MakeTurnDirectories(game, current.RaceNumber());
  const std::unique_ptr<FileLock> lock = LockGame(game);
  FileGroupWriter files(files_);
  files.Add(layout_.RaceFile(game),
            [&](std::ostream& out) { saveToStream(current.RaceTable(), out); });
  files.Add(layout_.TurnFile(game, current.RaceNumber(), current.Turn()),
            [&](std::ostream& out) { saveToStream(current.MessageTable(), out); });
  files.Add(layout_.TurnRaceFile(game, current.RaceNumber(), current.Turn()),
            [&](std::ostream& out) { saveToStream(current.RaceTable(), out); });
  files.Commit();
  files.RemoveAbandoned();
}

void TurnStore::ExportTurnText(const CurrentGame& current) const {
  if (!current.HasTurn()) return;
  const std::string& game = current.GameName();
  CheckGameName(game);
  MakeTurnDirectories(game, current.RaceNumber());
  const std::unique_ptr<FileLock> lock = LockGame(game);
  FileGroupWriter files(files_);
  files.Add(layout_.TextFile(game, current.RaceNumber(), current.Turn()),
            [&](std::ostream& out) { WriteTurnText(current, out); });
  files.Commit();
  files.RemoveAbandoned();
}

std::unique_ptr<FileLock> TurnStore::LockGame(const std::string& game) const {
  const std::string path = layout_.SaveLockFile(game);
  std::unique_ptr<FileLock> lock;
  switch (files_.Lock(path, savePatience_, &lock)) {
    case LockResult::kTaken:
      return lock;
    case LockResult::kBusy:
      raiseUnexpected(archive_site::kLockGame,
                      formatText("another reader is saving the game \"%s\" and has not finished "
                                 "within %d s; nothing was saved, try again once it is done",
                                 game.c_str(), static_cast<int>((savePatience_.count() + 999) / 1000)));
    case LockResult::kFailed:
      break;
  }
  raiseUnexpected(archive_site::kLockGame,
                  formatText("cannot lock file \"%s\"; nothing was saved", path.c_str()));
}

void TurnStore::MakeTurnDirectories(const std::string& game, int32_t race) const {
  for (const std::string& path :
       {layout_.Root(), layout_.GameDirectory(game), layout_.RaceDirectory(game, race)}) {
    if (!files_.CreateDirectories(path)) {
      raiseUnexpected(archive_site::kCreateDirectory,
                      formatText("cannot create directory \"%s\"", path.c_str()));
    }
  }
}
