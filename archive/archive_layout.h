// ArchiveLayout: where the stored turns lie under DATA\ beside the program.
//
//   DATA\<game>\RACES.SAV          the RaceTable of the game's latest capture
//   DATA\<game>\<race>\<turn>.sav  the MessageTable of one turn
//   DATA\<game>\<race>\<turn>.rac  the RaceTable as that turn's capture saw it
//   DATA\<game>\<race>\<turn>.txt  the same turn as plain text
//   DATA\<game>\SAVING.LCK         locked while a reader saves the game
//
// <race> is the player's 0-based race number, <turn> the game year, both in
// decimal (archive_names.h says which names count). Paths are texts of the
// program (code page 1252); the layout only names them, it touches no file.
#pragma once

#include <cstdint>
#include <string>

#include "archive/program_directory.h"

class ArchiveLayout {
 public:
  // The archive of the program in `directory`.
  explicit ArchiveLayout(const ProgramDirectory& directory) : root_(directory.ArchiveRoot()) {}

  // DATA\ itself, ending with the separator.
  const std::string& Root() const { return root_; }
  // The folder that holds DATA\ (the program's own), ending with the
  // separator.
  std::string Folder() const;
  std::string GameDirectory(const std::string& game) const;
  std::string RaceFile(const std::string& game) const;
  std::string RaceDirectory(const std::string& game, int32_t race) const;
  std::string TurnFile(const std::string& game, int32_t race, int32_t turn) const;
  // The races and relations of one turn (turns stored by earlier versions
  // have none: RACES.SAV stands in for them).
  std::string TurnRaceFile(const std::string& game, int32_t race, int32_t turn) const;
  std::string TextFile(const std::string& game, int32_t race, int32_t turn) const;
  // The file whose lock a reader holds while it writes the game's files
  // (an empty file, never a race directory or a turn file).
  std::string SaveLockFile(const std::string& game) const;

 private:
  std::string root_;
};
