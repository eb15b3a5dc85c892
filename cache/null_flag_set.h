// One NULL flag per column: the flag of column i is the bit with mask 0x80
// shifted right by (i mod 8) in byte (i div 8); a set bit means NULL. Bits
// beyond the bit count have no meaning.
#pragma once

#include <cstdint>

#include "cache/cache_alloc.h"

class NullFlagSet {
 public:
  // Bytes needed for `bits` flags: (bits div 8) + 1.
  static uint32_t bytesFor(uint32_t bits) { return bits / 8 + 1; }

  uint32_t bitCount() const { return bitCount_; }
  uint32_t byteSize() const { return static_cast<uint32_t>(bytes_.size()); }
  const uint8_t* bytes() const { return bytes_.data(); }

  // REQUIRES: i < bitCount().
  bool isSet(uint32_t i) const { return (bytes_[i / 8] & mask(i)) != 0; }
  void set(uint32_t i) { bytes_[i / 8] |= mask(i); }
  void reset(uint32_t i) { bytes_[i / 8] &= static_cast<uint8_t>(~mask(i)); }

  // A flag set of `bitCount` flags holding the given bytes.
  // REQUIRES: bytes.size() == bytesFor(bitCount).
  NullFlagSet(uint32_t bitCount, ByteBlock bytes)
      : bytes_(std::move(bytes)), bitCount_(bitCount) {}
  NullFlagSet() = default;

  // A copy whose byte allocation is reported at `where` when it fails.
  NullFlagSet copy(const RaiseSite& where) const;

  // Adds one flag, set (a new column is NULL). Grows the bytes to exactly
  // bytesFor(new count) when they are too few; new bytes start at zero.
  // Either succeeds or changes nothing.
  void appendSetBit(const RaiseSite& where);
  // Sets the flag of every column. Bits beyond the bit count become 0, so
  // that rows made NULL this way save the same bytes as rows made from a
  // template row.
  void setAll();
  // No flags and no bytes.
  void clear();

 private:
  static uint8_t mask(uint32_t i) { return static_cast<uint8_t>(0x80u >> (i % 8)); }

  ByteBlock bytes_;
  uint32_t bitCount_ = 0;
};
