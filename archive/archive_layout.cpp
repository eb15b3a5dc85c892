#include "archive/archive_layout.h"

#include "archive/path_text.h"

std::string ArchiveLayout::Folder() const {
  // The root is the folder, "DATA" and a separator.
  return root_.substr(0, root_.size() - 5);
}

std::string ArchiveLayout::GameDirectory(const std::string& game) const {
  std::string path = root_ + game;
  if (path.back() != kPathSeparator) path += kPathSeparator;
  return path;
}

std::string ArchiveLayout::RaceFile(const std::string& game) const {
  return GameDirectory(game) + "RACES.SAV";
}

std::string ArchiveLayout::RaceDirectory(const std::string& game, int32_t race) const {
  return GameDirectory(game) + std::to_string(race) + kPathSeparator;
}

std::string ArchiveLayout::TurnFile(const std::string& game, int32_t race, int32_t turn) const {
  return RaceDirectory(game, race) + std::to_string(turn) + ".sav";
}

std::string ArchiveLayout::TurnRaceFile(const std::string& game, int32_t race, int32_t turn) const {
  return RaceDirectory(game, race) + std::to_string(turn) + ".rac";
}

std::string ArchiveLayout::TextFile(const std::string& game, int32_t race, int32_t turn) const {
  return RaceDirectory(game, race) + std::to_string(turn) + ".txt";
}

std::string ArchiveLayout::SaveLockFile(const std::string& game) const {
  return GameDirectory(game) + "SAVING.LCK";
}
