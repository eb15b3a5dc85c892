// Writing files so that a failure never damages what was stored before.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/file_system.h"

// Writes a group of files all-or-nothing:
// 1. every file goes to a temporary file beside it,
//    "<name>.<process id>-<n>.tmp", where n is a serial number of the
//    file system (FileSystem::NextSerial) taken once per Commit: writers
//    in several processes or threads never share a temporary file;
// 2. a file that exists already is copied to "<name>.<process id>-<n>.old",
//    but the last one, which is replaced last and so never put back;
// 3. each temporary file replaces its file with one rename, which keeps
//    the file whole at every moment, a crash included;
// 4. the copies go.
// A failure in 1 or 2 leaves every file as it was; a failure in 3 puts the
// replaced files back from their copies. No temporary file or copy remains
// after a failure that could be reported, except a copy that could not be
// put back: it stays as the only old version. The writer removes only
// files it created itself: whatever else lies beside the files stays, a
// user's "<name>.tmp" or "<name>.old" (file or folder) included.
//
// Two writers of the same files at once each leave whole files, but the
// files of a group may then come from either: callers that need the group
// as a whole serialise their writers (TurnStore locks the game).
class FileGroupWriter {
 public:
  // Writes one file's content.
  using Content = std::function<void(std::ostream&)>;

  // `files` does every file operation and must outlive the writer.
  explicit FileGroupWriter(FileSystem& files) : files_(files) {}
  FileGroupWriter(const FileGroupWriter&) = delete;
  FileGroupWriter& operator=(const FileGroupWriter&) = delete;

  // Adds the file `path` (a text of the program, in code page 1252).
  // REQUIRES: Commit() has not been called.
  void Add(const std::string& path, Content content);

  // Writes and replaces every added file. Raises LExc_Internal_Unexpected
  // "cannot write file \"<path>\"" when a temporary file or a copy cannot
  // be written completely, "cannot replace file \"<path>\"" when a rename
  // fails. Exceptions from a Content pass through (after the clean-up).
  // REQUIRES: called once.
  void Commit();

  // Removes the temporary files and copies that earlier writers of the
  // group's files left behind: writers that were killed, and copies that
  // could not be put back. They are the files (never folders) beside each
  // file named as in 1 and 2 above, "<name>.<digits>-<digits>.tmp" or
  // ".old"; removals that fail are let be.
  // REQUIRES: no other writer of these files runs meanwhile (the caller
  // holds their lock), or it would lose its temporary files.
  void RemoveAbandoned() const;

 private:
  struct File {
    std::string path;
    Content content;
    bool written = false;   // its temporary file was created
    bool replaced = false;  // its temporary file was renamed to it
    bool copied = false;    // an old version was copied aside
    bool keepCopy = false;  // the copy could not be put back
  };
  std::string TemporaryOf(const File& file) const;
  std::string CopyOf(const File& file) const;
  // Writes `content` to `path` completely, setting *created once the file
  // exists; raises naming `shown` (the file the user knows) when it cannot.
  void WriteFile(const std::string& path, const std::string& shown, const Content& content,
                 bool* created) const;
  void WriteTemporaryFiles();
  void CopyOldVersions();
  // Renames every temporary file to its file; false, with the replaced
  // ones put back, at the first rename that fails (*failed names it).
  bool ReplaceFiles(size_t* failed);
  // Puts the files replaced so far back from their copies.
  void PutBack();
  void RemoveLeftovers() const;

  FileSystem& files_;
  std::vector<File> group_;
  std::string tag_;  // "<process id>-<n>" of this Commit
};
