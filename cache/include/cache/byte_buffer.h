// An owned byte buffer: the value type of binary (SQL_C_BINARY) cells.
#pragma once

#include <cstdint>
#include <vector>

class ByteBuffer {
 public:
  ByteBuffer() = default;
  // A copy of `length` bytes from `bytes` (which may be null when length is
  // 0). Allocation failures surface as std::bad_alloc.
  ByteBuffer(const void* bytes, uint32_t length)
      : bytes_(static_cast<const uint8_t*>(bytes),
               static_cast<const uint8_t*>(bytes) + length) {}

  // The bytes, or null when the buffer is empty.
  const uint8_t* data() const { return bytes_.empty() ? nullptr : bytes_.data(); }
  uint32_t length() const { return static_cast<uint32_t>(bytes_.size()); }

  bool operator==(const ByteBuffer& other) const {
    return bytes_ == other.bytes_;
  }

 private:
  std::vector<uint8_t> bytes_;
};

using Blob = ByteBuffer;
