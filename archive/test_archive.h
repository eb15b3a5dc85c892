// Helpers of the archive's tests: a scratch program directory, a user
// interface that records what it was asked to show, and file reading.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_ui.h"
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

class RecordingUi : public ArchiveUi {
 public:
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void BeginWait() override { ++waiting; ++waits; }
  void EndWait() override { --waiting; }

  std::vector<std::string> errors;
  int waiting = 0;  // waits not yet ended
  int waits = 0;    // waits begun
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

// Names of the files in a directory that end with ".tmp".
inline int temporaryFiles(const std::string& directory) {
  int count = 0;
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator it(ToPath(directory), error), end;
       !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".tmp") ++count;
  }
  return count;
}

// An output stream to a file that fails, as a full disk does, once the
// streams sharing `budget` have written that many bytes.
class FailingStream : public std::ostream {
 public:
  FailingStream(const std::filesystem::path& path, std::shared_ptr<size_t> budget)
      : std::ostream(&buffer_), buffer_(path, std::move(budget)) {}

 private:
  class Buffer : public std::streambuf {
   public:
    Buffer(const std::filesystem::path& path, std::shared_ptr<size_t> budget)
        : budget_(std::move(budget)) {
      file_.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
    }

   protected:
    int_type overflow(int_type c) override {
      if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
      const char byte = traits_type::to_char_type(c);
      return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* bytes, std::streamsize n) override {
      const auto taken = static_cast<std::streamsize>(std::min<size_t>(*budget_, static_cast<size_t>(n)));
      *budget_ -= static_cast<size_t>(taken);
      return file_.sputn(bytes, taken);
    }
    int sync() override { return file_.pubsync(); }

   private:
    std::filebuf file_;
    std::shared_ptr<size_t> budget_;
  };
  Buffer buffer_;
};

}  // namespace testing_archive
