// Writing files so that a failure never damages what was stored before.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Writes a group of files all-or-nothing: every file goes to a temporary
// file beside it ("<name>.tmp") first, and only when all of them are
// complete do they replace the files of their names, one rename each. A
// failure before that removes the temporary files and leaves every old file
// as it was.
class FileGroupWriter {
 public:
  // Opens a file for binary output with truncation; the stream's state
  // tells whether it opened.
  using Opener = std::function<std::unique_ptr<std::ostream>(const std::filesystem::path&)>;
  // Writes one file's content.
  using Content = std::function<void(std::ostream&)>;

  explicit FileGroupWriter(Opener open) : open_(std::move(open)) {}

  // Adds the file `path` (a text of the program, in code page 1252).
  void Add(const std::string& path, Content content);

  // Writes and replaces every added file. Raises LExc_Internal_Unexpected
  // "cannot write file \"<path>\"" when a temporary file cannot be written
  // completely, "cannot replace file \"<path>\"" when the rename fails.
  // Exceptions from a Content pass through (after the clean-up).
  void Commit();

 private:
  struct File {
    std::string path;
    Content content;
  };
  void WriteTemporary(const File& file) const;
  void RemoveTemporaries() const;

  Opener open_;
  std::vector<File> files_;
};

// The usual Opener: an std::ofstream in binary mode.
std::unique_ptr<std::ostream> OpenBinaryOutput(const std::filesystem::path& path);
