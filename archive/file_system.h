// FileSystem: every file operation of the archive, behind one interface,
// so that tests can keep an archive in memory or make any operation fail.
//
// Paths are texts of the program (code page 1252, the separator of
// path_text.h); an implementation turns them into the platform's paths.
// No operation raises: each reports failure in its result.
#pragma once

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
  // Removes the file `path`; false when there was none or it stays.
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

  // The platform's file system. It belongs to the program, lives as long
  // as the program does and holds no state: share it freely.
  static FileSystem& Default();
};
