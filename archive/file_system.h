// FileSystem: every file operation of the archive, behind one interface,
// so that tests can keep an archive in memory or make any operation fail.
//
// Paths are texts of the program (code page 1252, the separator of
// path_text.h); an implementation turns them into the platform's paths.
// No operation raises: each reports failure in its result.
#pragma once

#include <chrono>
#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// One entry of a directory listing.
struct DirectoryEntry {
  std::string name;  // the entry's name, without its directory
  bool isDirectory = false;
};

// What a path names. kOther is neither a regular file nor a folder (a
// FIFO, a device, a socket): nothing the archive reads or writes.
enum class PathKind { kNone, kFile, kDirectory, kOther };

// An exclusive lock on a file (FileSystem::Lock), held as long as the
// object lives. Destroying it releases the lock; the file stays.
class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  virtual ~FileLock() = default;
};

enum class LockResult {
  kTaken,   // the lock is the caller's
  kBusy,    // another holder kept it for the whole wait
  kFailed,  // the file cannot be created or opened, or locks do not work on it
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens `path` for binary input; null when it cannot be opened or is not
  // a regular file (a FIFO would block the reader for good).
  virtual std::unique_ptr<std::istream> OpenRead(const std::string& path) = 0;
  // Opens `path` for binary output, replacing what it held; null when it
  // cannot be opened.
  virtual std::unique_ptr<std::ostream> Create(const std::string& path) = 0;
  // Flushes and closes a stream that Create gave; false when not all of
  // its bytes reached the file.
  virtual bool Close(std::unique_ptr<std::ostream> stream) = 0;
  // Renames `from` to `to`, replacing `to` at once if it exists.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Removes the file `path`; false when there was none or it stays. A
  // directory is never removed, not even an empty one.
  virtual bool Remove(const std::string& path) = 0;
  // Creates the directory `path` and the missing ones above it; true when
  // it exists afterwards.
  virtual bool CreateDirectories(const std::string& path) = 0;
  // The entries of the directory `path` in the order the system gives
  // them, without "." and ".."; entries whose names the program cannot
  // write (outside code page 1252) are left out. False, with no entries,
  // when it cannot be read.
  virtual bool List(const std::string& path, std::vector<DirectoryEntry>* entries) = 0;
  // What `path` is.
  virtual PathKind Kind(const std::string& path) = 0;

  // The id of the running process, as the platform numbers processes: no
  // other process that runs at the same time has it.
  virtual uint32_t ProcessId() = 0;
  // A number this file system has not given before in this process
  // (1, 2, 3, ...); safe to call from several threads at once.
  virtual uint64_t NextSerial() = 0;
  // Takes the exclusive lock of the file `path`, creating it (empty) when
  // it is missing; its directory must exist. While another holder has the
  // lock, in this process or another one, waits up to `patience` for it.
  // On kTaken, *lock receives the lock: it belongs to the caller, who
  // releases it by destroying it, and it ends with the process too, so a
  // killed holder never blocks the next one. On the other results *lock
  // is null.
  virtual LockResult Lock(const std::string& path, std::chrono::milliseconds patience,
                          std::unique_ptr<FileLock>* lock) = 0;
  // Whether OpenRead, List and Kind may be called from several threads at
  // once; readers of many files then read on more than one. Unless a file
  // system says so, they may not.
  virtual bool ReadsInParallel() { return false; }

  // The platform's file system. It belongs to the program and lives as
  // long as the program does; its only state is the counter of
  // NextSerial, so share it freely, between threads as well.
  static FileSystem& Default();
};
