// A FileSystem that keeps to one folder: a path that leads out of it,
// through a symbolic link (of a game folder, of a turn file) or otherwise,
// is treated as missing. Listings leave such entries out and reads find
// nothing, so that a link in an archive cannot make the reader list,
// search or print files elsewhere. Writes and locks pass on unchanged.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include "archive/file_system.h"

class ConfinedFileSystem : public FileSystem {
 public:
  // `target` does the work and must outlive this; `root` is the folder to
  // keep to (a text of the program).
  ConfinedFileSystem(FileSystem& target, const std::string& root);

  std::unique_ptr<std::istream> OpenRead(const std::string& path) override;
  std::unique_ptr<std::ostream> Create(const std::string& path) override {
    return target_.Create(path);
  }
  bool Close(std::unique_ptr<std::ostream> stream) override { return target_.Close(std::move(stream)); }
  bool Rename(const std::string& from, const std::string& to) override {
    return target_.Rename(from, to);
  }
  bool Remove(const std::string& path) override { return target_.Remove(path); }
  bool CreateDirectories(const std::string& path) override { return target_.CreateDirectories(path); }
  bool List(const std::string& path, std::vector<DirectoryEntry>* entries) override;
  PathKind Kind(const std::string& path) override;
  uint32_t ProcessId() override { return target_.ProcessId(); }
  uint64_t NextSerial() override { return target_.NextSerial(); }
  LockResult Lock(const std::string& path, std::chrono::milliseconds patience,
                  std::unique_ptr<FileLock>* lock) override {
    return target_.Lock(path, patience, lock);
  }
  bool ReadsInParallel() override { return target_.ReadsInParallel(); }

  // Whether `path`, its links followed, lies in the root. The folder a
  // path names an entry of is resolved once per object, so that a listing
  // and the reads of its entries cost one look at each entry rather than
  // one at every folder above it. A folder that becomes a link after this
  // object first resolved it goes unseen by it; the reader's commands make
  // one for each run.
  bool Inside(const std::string& path) const;

 private:
  // `path` with its links followed and "." and ".." resolved; empty when
  // that cannot be found out.
  std::filesystem::path resolvedPath(const std::filesystem::path& path) const;
  bool inRoot(const std::filesystem::path& resolved) const;

  FileSystem& target_;
  std::filesystem::path root_;  // its links followed; empty when that failed
  mutable std::mutex mutex_;    // guards `folders_`, for reads on several threads
  mutable std::map<std::filesystem::path, std::filesystem::path> folders_;  // resolved folders
};
