// TurnStore: the stored turns of one archive, read and written through a
// FileSystem.
//
// The store names its files by the ArchiveLayout, lists what is stored and
// loads and saves the game tables. It shows nothing: every failure is
// raised as an LExc_... exception, which the commands show to the user.
// Listings come in the order the file system gives the entries.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_layout.h"
#include "archive/file_system.h"
#include "cache/table_scan.h"

class CurrentGame;
class SmartCache;

// Loads the table stream of the file `path` of `files` into `table`; a
// missing file reads as empty and raises "invalid stream".
void ReadTableFile(FileSystem& files, const std::string& path, SmartCache& table);

class TurnStore {
 public:
  // How long a save waits while another reader saves the same game.
  static constexpr std::chrono::milliseconds kSavePatience{5000};

  // `files` does every file operation and must outlive the store. A save
  // waits up to `savePatience` for the game's lock.
  explicit TurnStore(ArchiveLayout layout, FileSystem& files = FileSystem::Default(),
                     std::chrono::milliseconds savePatience = kSavePatience)
      : layout_(std::move(layout)), files_(files), savePatience_(savePatience) {}

  const ArchiveLayout& Layout() const { return layout_; }
  FileSystem& Files() const { return files_; }

  // Names of the game directories that are usable game names
  // (IsUsableGameName): every game listed is one the store can load.
  std::vector<std::string> ListGames() const;
  // The race directories of `game` (ParseRaceDirectory); none for a game
  // name that cannot be a directory.
  std::vector<int32_t> ListRaces(const std::string& game) const;
  // The turns stored for `game` and `race`: the .sav files that
  // ParseTurnFile takes. None for an unusable game name or a race outside
  // the game's bounds.
  std::vector<int32_t> ListTurns(const std::string& game, int32_t race) const;

  // Loads the RaceTable of `game` and the MessageTable of one of its turns
  // into `current`, then sets its game name, race and turn. Race -1 takes
  // the first listed race, turn -1 the highest listed turn; with none
  // listed, only the RaceTable is loaded and the game stays unset (name
  // empty, race and turn -1). An empty `game` loads nothing. A missing or
  // damaged file or an unusable game name raises; `current` is then left
  // with an empty name, race -1, turn 0 and a MessageTable without
  // columns, and its RaceTable as far as the load got. (`game` is taken by
  // value: it may be `current`'s own name, which the load clears first.)
  void LoadTurn(CurrentGame& current, std::string game, int32_t race, int32_t turn) const;

  // Writes the RaceTable to RACES.SAV and to the turn's .rac file, and the
  // MessageTable to the turn's .sav file, creating the directories; nothing
  // unless current.HasTurn(). The files are replaced only once all three
  // are complete. Raises on any
  // failure, after which every stored file is as it was.
  //
  // Saves of one game, in this process or others, take turns: each holds
  // the lock of the game's SaveLockFile for the whole save, so the three
  // files always come from one save. When another reader keeps the lock
  // longer than the store's patience, raises LExc_Internal_Unexpected
  // "another reader is saving the game ..." and writes nothing. Holding
  // the lock, a save also removes what killed saves of its files left
  // (FileGroupWriter::RemoveAbandoned).
  void SaveTurn(const CurrentGame& current) const;

  // Writes the turn's text file (under the same guard and lock as
  // SaveTurn), replacing it only once it is complete; raises as SaveTurn
  // does, and the old file stays.
  void ExportTurnText(const CurrentGame& current) const;

  // Scans the table file `path` where it lies (scanTableStream), through
  // the store's file system; a file that cannot be opened raises as
  // ReadTable does.
  void ScanTable(const std::string& path, const std::function<void(const CacheRow&)>& onTemplate,
                 const std::function<void(const ScannedRow&)>& onRow) const;
  // Appends the rows of the table file `path` that `wanted` accepts to
  // `table` (appendScannedRows), through the store's file system; false,
  // with nothing appended, when the file's columns are not the table's. A
  // file that cannot be read raises as ReadTable does, and nothing of it
  // is appended.
  bool AppendRows(const std::string& path, SmartCache& table,
                  const std::function<bool(const ScannedRow&)>& wanted) const;
  // The RaceTable of `game` as turn `turn` of `race` saw it: its .rac
  // file, or RACES.SAV for a turn stored without one (false then). Raises
  // as ReadTable does.
  bool ReadTurnRaces(const std::string& game, int32_t race, int32_t turn, SmartCache& table) const;
  // ReadTableFile through the store's file system.
  void ReadTable(const std::string& path, SmartCache& table) const {
    ReadTableFile(files_, path, table);
  }

 private:
  // Creates DATA\, the game's and the race's directory (existing ones are
  // fine); raises when one cannot be made.
  void MakeTurnDirectories(const std::string& game, int32_t race) const;
  // Takes the lock of `game`'s files (its directory exists); raises when
  // it cannot. The lock belongs to the caller.
  std::unique_ptr<FileLock> LockGame(const std::string& game) const;
  std::vector<DirectoryEntry> Entries(const std::string& directory) const;

  ArchiveLayout layout_;
  FileSystem& files_;
  std::chrono::milliseconds savePatience_;
};

// Raises LExc_Internal_BadArg when `game` cannot be a directory under DATA
// (IsUsableGameName).
void CheckGameName(const std::string& game);
