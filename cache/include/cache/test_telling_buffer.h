// A stream buffer for tests of loads: it hands out its bytes a few KB at a
// time and says it holds `claim` bytes before the first is read
// (std::streambuf::in_avail), rightly or not. Once made it never
// allocates.
#pragma once

#include <algorithm>
#include <streambuf>
#include <string>
#include <utility>

class TellingBuffer : public std::streambuf {
 public:
  TellingBuffer(std::string bytes, std::streamsize claim) : bytes_(std::move(bytes)), claim_(claim) {}

 protected:
  std::streamsize showmanyc() override { return at_ == 0 ? claim_ : 0; }
  int_type underflow() override {
    if (at_ >= bytes_.size()) return traits_type::eof();
    const size_t size = std::min<size_t>(4096 + at_ % 1000, bytes_.size() - at_);
    char* begin = &bytes_[at_];
    setg(begin, begin, begin + size);
    at_ += size;
    return traits_type::to_int_type(*begin);
  }

 private:
  std::string bytes_;
  std::streamsize claim_;
  size_t at_ = 0;
};
