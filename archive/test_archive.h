// Helpers of the archive's tests: a scratch program directory, a user
// interface that records what it was asked to show, and file reading.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive/archive_ui.h"
#include "archive/file_ops.h"
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

// The system's file operations, of which one fails on purpose: counted
// are every creation, every write into a created file (a write of its
// stream buffer), every flush, every close and every rename. The n-th
// fails (a write that fails may take half its bytes first: a short write).
class FaultyFileOps : public FileOps {
 public:
  void FailNth(int n, bool shortWrite = false) {
    failing_ = {n};
    shortWrite_ = shortWrite;
    count_ = 0;
  }
  // Makes the n-th operation fail as well.
  void FailToo(int n) { failing_.insert(n); }
  void Never() { failing_.clear(); }
  int Operations() const { return count_; }

  std::unique_ptr<std::ostream> Create(const std::filesystem::path& path) override {
    if (Fails()) return nullptr;
    return std::make_unique<Stream>(path, *this);
  }
  bool Close(std::unique_ptr<std::ostream> stream) override {
    const bool failed = Fails();
    auto* file = dynamic_cast<Stream*>(stream.get());
    return file != nullptr && file->Close() && !failed;
  }
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return !Fails() && FileOps::System().Rename(from, to);
  }
  bool Remove(const std::filesystem::path& path) override { return FileOps::System().Remove(path); }

 private:
  bool Fails() { return !failing_.empty() && failing_.count(++count_) != 0; }

  class Buffer : public std::streambuf {
   public:
    Buffer(const std::filesystem::path& path, FaultyFileOps& ops) : ops_(ops) {
      file_.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
    }
    bool Close() { return file_.close() != nullptr; }

   protected:
    std::streamsize xsputn(const char* bytes, std::streamsize n) override {
      if (ops_.Fails()) return ops_.shortWrite_ ? file_.sputn(bytes, n / 2) : 0;
      return file_.sputn(bytes, n);
    }
    int_type overflow(int_type c) override {
      if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
      const char byte = traits_type::to_char_type(c);
      return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    int sync() override { return ops_.Fails() ? -1 : file_.pubsync(); }

   private:
    FaultyFileOps& ops_;
    std::filebuf file_;
  };

  class Stream : public std::ostream {
   public:
    Stream(const std::filesystem::path& path, FaultyFileOps& ops)
        : std::ostream(&buffer_), buffer_(path, ops) {}
    bool Close() {
      flush();
      return static_cast<bool>(*this) && buffer_.Close();
    }

   private:
    Buffer buffer_;
  };

  std::set<int> failing_;
  bool shortWrite_ = false;
  int count_ = 0;
};

}  // namespace testing_archive
