// ProgramDirectory: drive and directory of the program's own executable,
// where the archive's DATA directory lies.
#pragma once

#include <string>

#include "archive/path_text.h"

class ProgramDirectory {
 public:
  // `directory` ends with a separator ("D:\TOOLS\"), or is empty when the
  // program's location is unknown.
  explicit ProgramDirectory(std::string directory = std::string())
      : directory_(std::move(directory)) {}

  // The drive and directory of an executable's full path: everything up to
  // and including its last backslash or slash.
  static ProgramDirectory FromExecutablePath(const std::string& path);

  const std::string& Text() const { return directory_; }

  // The archive root: the directory (or "C:" and `separator` when it is
  // empty), `separator` unless it already ends with one, then "DATA" and
  // `separator`: "D:\TOOLS\" gives "D:\TOOLS\DATA\", "" gives "C:\DATA\".
  std::string ArchiveRoot(char separator = kPathSeparator) const;

 private:
  std::string directory_;
};
