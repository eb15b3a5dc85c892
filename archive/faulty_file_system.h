// FaultyFileSystem: a FileSystem that forwards to another one and makes
// chosen operations fail, for tests.
//
// Counted are every open for reading, every creation, every write into a
// created file (a write of its stream buffer), every flush, every close,
// every rename, every directory creation and every lock; the n-th fails.
// (A write that fails may take half its bytes first: a short write.)
// Removals, listings, lookups, process ids and serial numbers are not
// counted, so that the clean-up after a failure is never itself the
// failure.
#pragma once

#include <set>

#include "archive/file_system.h"

class FaultyFileSystem : public FileSystem {
 public:
  // `target` does the work and must outlive this wrapper.
  explicit FaultyFileSystem(FileSystem& target = FileSystem::Default()) : target_(target) {}

  // Makes the n-th counted operation from now on fail (n counts from 1).
  void FailNth(int n, bool shortWrite = false);
  // Makes the n-th operation fail as well.
  void FailToo(int n) { failing_.insert(n); }
  // Fails nothing from now on.
  void Never() { failing_.clear(); }
  // The operations counted since the last FailNth.
  int Operations() const { return count_; }

  std::unique_ptr<std::istream> OpenRead(const std::string& path) override;
  std::unique_ptr<std::ostream> Create(const std::string& path) override;
  bool Close(std::unique_ptr<std::ostream> stream) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override { return target_.Remove(path); }
  bool CreateDirectories(const std::string& path) override;
  bool List(const std::string& path, std::vector<DirectoryEntry>* entries) override {
    return target_.List(path, entries);
  }
  PathKind Kind(const std::string& path) override { return target_.Kind(path); }
  uint32_t ProcessId() override { return target_.ProcessId(); }
  uint64_t NextSerial() override { return target_.NextSerial(); }
  // A failing lock is kFailed at once.
  LockResult Lock(const std::string& path, std::chrono::milliseconds patience,
                  std::unique_ptr<FileLock>* lock) override;

  // True when the operation being counted now is to fail.
  bool Fails();
  bool ShortWrites() const { return shortWrite_; }

 private:
  FileSystem& target_;
  std::set<int> failing_;
  bool shortWrite_ = false;
  int count_ = 0;
};
