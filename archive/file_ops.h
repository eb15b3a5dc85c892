// The file operations through which the archive writes: creating a file,
// closing it, renaming and removing. Tests put a FileOps in between that
// makes any one of them fail.
#pragma once

#include <filesystem>
#include <memory>
#include <ostream>

class FileOps {
 public:
  virtual ~FileOps() = default;
  // Opens `path` for binary output, replacing what it held; null when it
  // cannot be opened.
  virtual std::unique_ptr<std::ostream> Create(const std::filesystem::path& path) = 0;
  // Flushes and closes a stream that Create gave; false when not all of
  // its bytes reached the file.
  virtual bool Close(std::unique_ptr<std::ostream> stream) = 0;
  // Renames `from` to `to`, replacing `to` at once if it exists.
  virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  virtual bool Remove(const std::filesystem::path& path) = 0;

  // The operations of the platform's file system (shared, stateless).
  static FileOps& System();
};
