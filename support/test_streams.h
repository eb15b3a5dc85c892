// A stream buffer for tests of code that promises to flush: it keeps what
// is written and notes how much had been written at each flush.
#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <vector>

namespace testing_streams {

class SyncRecorder : public std::streambuf {
 public:
  const std::string& text() const { return text_; }
  // The length of the text at each sync, in order.
  const std::vector<size_t>& syncs() const { return syncs_; }

  // The numbers (from 1) of the lines that ended with no flush right after
  // their '\n', before anything else was written.
  std::vector<size_t> linesNotFlushed() const {
    std::vector<size_t> lines;
    size_t line = 0;
    for (size_t i = 0; i < text_.size(); ++i) {
      if (text_[i] != '\n') continue;
      ++line;
      if (!syncedAt(i + 1)) lines.push_back(line);
    }
    return lines;
  }

  bool syncedAt(size_t length) const {
    for (size_t at : syncs_) {
      if (at == length) return true;
    }
    return false;
  }

 protected:
  // No put area: every character comes here or to xsputn.
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      text_ += traits_type::to_char_type(c);
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text_.append(s, static_cast<size_t>(n));
    return n;
  }
  int sync() override {
    syncs_.push_back(text_.size());
    return 0;
  }

 private:
  std::string text_;
  std::vector<size_t> syncs_;
};

}  // namespace testing_streams
