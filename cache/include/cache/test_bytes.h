// Builds expected table-stream bytes field by field, for tests that compare
// saved bytes with bytes worked out by hand.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

class TestBytes {
 public:
  TestBytes& i32(int32_t v) {
    for (int k = 0; k < 4; ++k) bytes_ += static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    return *this;
  }
  TestBytes& u16(uint16_t v) {
    bytes_ += static_cast<char>(v & 0xFF);
    bytes_ += static_cast<char>(v >> 8);
    return *this;
  }
  // A counted string: its length, then its bytes.
  TestBytes& str(const std::string& s) {
    i32(static_cast<int32_t>(s.size()));
    bytes_ += s;
    return *this;
  }
  TestBytes& raw(std::initializer_list<int> bytes) {
    for (int b : bytes) bytes_ += static_cast<char>(b);
    return *this;
  }
  TestBytes& raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
  }
  // A column entry of a row record.
  TestBytes& column(const std::string& name, int32_t type) { return str(name).i32(type); }
  // The 16-byte form of a timestamp.
  TestBytes& timestamp(int y, int mo, int d, int h, int mi, int s, uint32_t fraction) {
    u16(static_cast<uint16_t>(y)).u16(static_cast<uint16_t>(mo)).u16(static_cast<uint16_t>(d));
    u16(static_cast<uint16_t>(h)).u16(static_cast<uint16_t>(mi)).u16(static_cast<uint16_t>(s));
    return i32(static_cast<int32_t>(fraction));
  }

  const std::string& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }

 private:
  std::string bytes_;
};
