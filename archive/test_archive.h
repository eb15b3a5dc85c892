// Helpers of the archive's tests: a scratch program directory and reading
// and writing files of the disk directly. (FaultyFileSystem and
// MemoryFileSystem stand in for the disk where a test needs that.)
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/path_text.h"

namespace testing_archive {

// A fresh, empty directory of the running test, removed again by the
// destructor; `name` tells several of one test apart.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& name = "") {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            (std::string("vandor-") + test->test_suite_name() + "-" + test->name() + name);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  // The directory as a program directory text: ends with the separator.
  std::string text() const {
    std::string text;
    FromPath(path_, &text);
    return text + kPathSeparator;
  }

 private:
  std::filesystem::path path_;
};

// The bytes of a file (a program text path); empty when it cannot be read.
inline std::string fileBytes(const std::string& path) {
  std::ifstream in(ToPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(ToPath(path).parent_path());
  std::ofstream(ToPath(path), std::ios::binary) << bytes;
}

inline bool exists(const std::string& path) { return std::filesystem::exists(ToPath(path)); }

// Files in a directory and below that a save leaves only while it runs:
// temporary files and copies of old versions.
inline int temporaryFiles(const std::string& directory) {
  int count = 0;
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator it(ToPath(directory), error), end;
       !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".tmp" || it->path().extension() == ".old") ++count;
  }
  return count;
}

// The temporary files (`ending` ".tmp") or copies (".old") that file group
// writers made of the file `path`: "<name>.<process id>-<n><ending>" beside
// it. Program text paths, sorted.
inline std::vector<std::string> writerFiles(const std::string& path, const std::string& ending) {
  const std::filesystem::path file = ToPath(path);
  std::string name;
  FromPath(file.filename(), &name);
  std::vector<std::string> found;
  std::error_code error;
  for (std::filesystem::directory_iterator it(file.parent_path(), error), end; !error && it != end;
       it.increment(error)) {
    std::string entry;
    if (!it->is_regular_file() || !FromPath(it->path().filename(), &entry)) continue;
    if (entry.size() <= name.size() + 1 + ending.size()) continue;
    if (entry.compare(0, name.size() + 1, name + ".") != 0) continue;
    if (entry.compare(entry.size() - ending.size(), ending.size(), ending) != 0) continue;
    const std::string tag = entry.substr(name.size() + 1, entry.size() - name.size() - 1 - ending.size());
    if (tag.find_first_not_of("0123456789-") != std::string::npos || tag.find('-') == std::string::npos) {
      continue;
    }
    std::string text;
    FromPath(it->path(), &text);
    found.push_back(text);
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace testing_archive
