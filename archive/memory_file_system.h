// MemoryFileSystem: a FileSystem whose files and directories live in
// memory, for tests and tools that want an archive without a disk.
//
// Paths are split at kPathSeparator; a trailing separator is ignored, so
// "D/" and "D" name the same directory. As on a disk, a file is created
// only in an existing directory, and a file that is open for writing may
// be renamed: the stream goes on writing into it under its new name.
//
// Locks live beside the files: taking one makes no file, and a lock that
// is held is busy at once (nothing else runs to release it during a
// wait). Not safe to use from several threads.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive/file_system.h"

class MemoryFileSystem : public FileSystem {
 public:
  // `processId` stands for the process that uses the files.
  explicit MemoryFileSystem(uint32_t processId = 1) : processId_(processId) {}
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  std::unique_ptr<std::istream> OpenRead(const std::string& path) override;
  std::unique_ptr<std::ostream> Create(const std::string& path) override;
  bool Close(std::unique_ptr<std::ostream> stream) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool CreateDirectories(const std::string& path) override;
  bool List(const std::string& path, std::vector<DirectoryEntry>* entries) override;
  PathKind Kind(const std::string& path) override;
  uint32_t ProcessId() override { return processId_; }
  uint64_t NextSerial() override { return ++serial_; }
  // A lock may outlive this file system.
  LockResult Lock(const std::string& path, std::chrono::milliseconds patience,
                  std::unique_ptr<FileLock>* lock) override;

  // Puts a file with `bytes` at `path`, creating its directories.
  void WriteFile(const std::string& path, const std::string& bytes);
  // The bytes of the file `path`; empty when there is none.
  std::string FileBytes(const std::string& path) const;
  // Every file path, in byte order.
  std::vector<std::string> Files() const;

 private:
  using Bytes = std::shared_ptr<std::string>;
  static std::string Normal(const std::string& path);
  static std::string Parent(const std::string& path);
  bool HasDirectory(const std::string& normal) const;

  std::map<std::string, Bytes> files_;
  std::set<std::string> directories_;
  // The paths whose locks are held, shared with the locks themselves.
  std::shared_ptr<std::set<std::string>> locked_ = std::make_shared<std::set<std::string>>();
  uint32_t processId_;
  uint64_t serial_ = 0;
};
