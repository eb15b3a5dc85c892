// GameArchive: the stored turns under DATA\ beside the program.
//
//   DATA\<game>\RACES.SAV          the RaceTable of the game's latest capture
//   DATA\<game>\<race>\<turn>.sav  the MessageTable of one turn
//   DATA\<game>\<race>\<turn>.txt  the same turn as plain text
//
// <race> is the player's 0-based race number, <turn> the game year, both in
// decimal. Every .sav file holds exactly one table stream. Listings come in
// the order the directory search reports the entries.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "archive/archive_ui.h"
#include "archive/file_ops.h"
#include "archive/program_directory.h"

class CurrentGame;
class SmartCache;

class GameArchive {
 public:
  // `ui` shows the archive's error messages and wait cursor; `files` does
  // its writing. Both must outlive the archive.
  GameArchive(ProgramDirectory directory, ArchiveUi& ui, FileOps& files = FileOps::System());

  // The paths of the tree, as texts of the program (code page 1252).
  std::string Root() const { return root_; }
  std::string GameDirectory(const std::string& game) const;
  std::string RaceFile(const std::string& game) const;
  std::string RaceDirectory(const std::string& game, int32_t race) const;
  std::string TurnFile(const std::string& game, int32_t race, int32_t turn) const;
  std::string TextFile(const std::string& game, int32_t race, int32_t turn) const;

  // Names of the game directories.
  std::vector<std::string> ListGames() const;
  // The race directories of `game`: those named "0" to "15".
  std::vector<int32_t> ListRaces(const std::string& game) const;
  // The turns stored for `game` and `race`: the .sav files named by a
  // decimal number. Empty for an empty game name or a race outside 0 … 15.
  std::vector<int32_t> ListTurns(const std::string& game, int32_t race) const;

  // Loads the RaceTable of `game` and the MessageTable of one of its turns
  // into `current`, then sets its game name, race and turn. Race -1 takes
  // the first listed race, turn -1 the highest listed turn; with none
  // listed, only the RaceTable is loaded and the game stays unset. A
  // missing or damaged file shows "Error while loading sav files. Details: "
  // with the error's report and leaves the game name empty, the race -1,
  // the turn 0 and the MessageTable empty. Shows the wait cursor throughout.
  // (`game` is taken by value: it may be `current`'s own name, which the
  // load clears first.)
  void LoadTurn(CurrentGame& current, std::string game, int32_t race, int32_t turn) const;

  // Writes the RaceTable to RACES.SAV and the MessageTable to the turn's
  // .sav file, creating the directories; nothing unless `current` has a
  // game name, a race of 0 or more and a turn of 2400 or more. Both files
  // are replaced only once both are complete. A failure shows "Error while
  // writing sav files. Details: " with the error's report, and every stored
  // file stays as it was. Returns false after such a failure.
  bool SaveTurn(const CurrentGame& current) const;

  // Writes the turn's text file (under the same guard as SaveTurn),
  // replacing it only once it is complete. A failure is shown as SaveTurn
  // shows its failures (a text file that silently stays old would pass for
  // the turn's), the old file stays; returns false then.
  bool ExportTurnText(const CurrentGame& current) const;

  // Loads the table stream of the file `path` into `table`; a missing file
  // reads as empty and raises "invalid stream".
  static void ReadTableFile(const std::string& path, SmartCache& table);

 private:
  // Raises when `game` cannot be a directory under DATA.
  static void CheckGameName(const std::string& game);
  // Creates DATA\, the game's and the race's directory (existing ones are
  // fine); raises when one cannot be made.
  void MakeTurnDirectories(const std::string& game, int32_t race) const;
  // The entries of a directory: names and whether each is a directory.
  struct Entry {
    std::string name;
    bool isDirectory;
  };
  std::vector<Entry> Entries(const std::string& directory) const;
  void SaveFiles(const CurrentGame& current) const;

  std::string root_;
  ArchiveUi& ui_;
  FileOps& files_;
};
