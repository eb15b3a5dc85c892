#include "archive/confined_file_system.h"

#include <algorithm>

#include "archive/path_text.h"

namespace {

// The path with its links followed and "." and ".." resolved, as far as it
// exists; empty when that cannot be found out.
std::filesystem::path resolved(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path result = std::filesystem::weakly_canonical(path, error);
  return error ? std::filesystem::path() : result;
}

}  // namespace

ConfinedFileSystem::ConfinedFileSystem(FileSystem& target, const std::string& root)
    : target_(target), root_(resolved(ToPath(root))) {}

bool ConfinedFileSystem::Inside(const std::string& path) const {
  if (root_.empty()) return false;
  const std::filesystem::path where = resolved(ToPath(path));
  if (where.empty()) return false;
  // Component by component: "/a/bc" is not inside "/a/b".
  auto inRoot = root_.begin();
  auto inPath = where.begin();
  for (; inRoot != root_.end(); ++inRoot, ++inPath) {
    if (inRoot->empty()) continue;  // the trailing separator's empty name
    if (inPath == where.end() || *inPath != *inRoot) return false;
  }
  return true;
}

std::unique_ptr<std::istream> ConfinedFileSystem::OpenRead(const std::string& path) {
  return Inside(path) ? target_.OpenRead(path) : nullptr;
}

bool ConfinedFileSystem::List(const std::string& path, std::vector<DirectoryEntry>* entries) {
  if (!Inside(path)) {
    entries->clear();
    return false;
  }
  if (!target_.List(path, entries)) return false;
  std::string folder = path;
  if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
  entries->erase(std::remove_if(entries->begin(), entries->end(),
                                [&](const DirectoryEntry& entry) { return !Inside(folder + entry.name); }),
                 entries->end());
  return true;
}

PathKind ConfinedFileSystem::Kind(const std::string& path) {
  return Inside(path) ? target_.Kind(path) : PathKind::kNone;
}
