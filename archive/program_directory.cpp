#include "archive/program_directory.h"

ProgramDirectory ProgramDirectory::FromExecutablePath(const std::string& path) {
  const size_t last = path.find_last_of("\\/");
  return ProgramDirectory(last == std::string::npos ? std::string() : path.substr(0, last + 1));
}

std::string ProgramDirectory::ArchiveRoot(char separator) const {
  std::string root = directory_.empty() ? std::string("C:") + separator : directory_;
  if (root.back() != separator) root += separator;
  return root + "DATA" + separator;
}
