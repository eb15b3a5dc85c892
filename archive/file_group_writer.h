// Writing files so that a failure never damages what was stored before.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/file_system.h"

// Writes a group of files all-or-nothing:
// 1. every file goes to a temporary file beside it ("<name>.tmp");
// 2. a file that exists already is copied to "<name>.old", but the last
//    one, which is replaced last and so never put back;
// 3. each temporary file replaces its file with one rename, which keeps
//    the file whole at every moment, a crash included;
// 4. the copies go.
// A failure in 1 or 2 leaves every file as it was; a failure in 3 puts the
// replaced files back from their copies. No temporary file or copy remains
// after a failure that could be reported, except a copy that could not be
// put back: it stays as the only old version.
class FileGroupWriter {
 public:
  // Writes one file's content.
  using Content = std::function<void(std::ostream&)>;

  // `files` does every file operation and must outlive the writer.
  explicit FileGroupWriter(FileSystem& files) : files_(files) {}

  // Adds the file `path` (a text of the program, in code page 1252).
  void Add(const std::string& path, Content content);

  // Writes and replaces every added file. Raises LExc_Internal_Unexpected
  // "cannot write file \"<path>\"" when a temporary file or a copy cannot
  // be written completely, "cannot replace file \"<path>\"" when a rename
  // fails. Exceptions from a Content pass through (after the clean-up).
  void Commit();

 private:
  struct File {
    std::string path;
    Content content;
    bool existed = false;   // an old version was copied aside
    bool keepCopy = false;  // the copy could not be put back
  };
  // Writes `content` to `path` completely; raises naming `shown` (the
  // file the user knows) when it cannot.
  void WriteFile(const std::string& path, const std::string& shown, const Content& content) const;
  // Puts the first `replaced` files back from their copies.
  void PutBack(size_t replaced);
  void RemoveLeftovers() const;

  FileSystem& files_;
  std::vector<File> group_;
};
