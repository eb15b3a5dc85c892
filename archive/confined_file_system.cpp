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

// Whether `name`, the last part of a path, can stand for itself once its
// folder is resolved: a plain name that is no link (or is not there at all).
bool plainEntry(const std::filesystem::path& path) {
  const std::filesystem::path name = path.filename();
  if (name.empty() || name == "." || name == "..") return false;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
  if (error) return status.type() == std::filesystem::file_type::not_found;
  return status.type() != std::filesystem::file_type::symlink;
}

}  // namespace

ConfinedFileSystem::ConfinedFileSystem(FileSystem& target, const std::string& root)
    : target_(target), root_(resolved(ToPath(root))) {}

std::filesystem::path ConfinedFileSystem::resolvedPath(const std::filesystem::path& path) const {
  const std::filesystem::path folder = path.parent_path();
  if (folder.empty() || folder == path || !plainEntry(path)) return resolved(path);
  std::filesystem::path where;
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    const auto known = folders_.find(folder);
    if (known != folders_.end()) where = known->second;
  }
  if (where.empty()) {
    where = resolved(folder);
    if (where.empty()) return where;
    const std::lock_guard<std::mutex> hold(mutex_);
    folders_.emplace(folder, where);
  }
  return where / path.filename();
}

bool ConfinedFileSystem::inRoot(const std::filesystem::path& where) const {
  // Component by component: "/a/bc" is not inside "/a/b".
  auto inRoot = root_.begin();
  auto inPath = where.begin();
  for (; inRoot != root_.end(); ++inRoot, ++inPath) {
    if (inRoot->empty()) continue;  // the trailing separator's empty name
    if (inPath == where.end() || *inPath != *inRoot) return false;
  }
  return true;
}

bool ConfinedFileSystem::Inside(const std::string& path) const {
  if (root_.empty()) return false;
  const std::filesystem::path where = resolvedPath(ToPath(path));
  return !where.empty() && inRoot(where);
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
