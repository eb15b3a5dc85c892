// One NULL flag per column: the flag of column i is the bit with mask 0x80
// shifted right by (i mod 8) in byte (i div 8); a set bit means NULL. Bits
// beyond the bit count have no meaning. Up to 63 columns the bytes live in
// the set itself, so that a row needs no allocation of its own for them.
#pragma once

#include <cstdint>

#include "cache/cache_alloc.h"

class NullFlagSet {
 public:
  // Bytes needed for `bits` flags: (bits div 8) + 1.
  static uint32_t bytesFor(uint32_t bits) { return bits / 8 + 1; }

  NullFlagSet() = default;
  // A flag set of `bitCount` flags holding `size` bytes from `bytes`; more
  // than fit in the set itself are allocated, and a failure raised at
  // `where`. REQUIRES: size == bytesFor(bitCount).
  NullFlagSet(uint32_t bitCount, const uint8_t* bytes, uint32_t size, const RaiseSite& where)
      : bitCount_(bitCount), byteSize_(size) {
    // Rows of up to 63 columns, nearly all, are copied here without a call.
    if (size <= kInline) {
      for (uint32_t k = 0; k < size; ++k) inline_[k] = bytes[k];
    } else {
      copyToHeap(bytes, where);
    }
  }

  // Whether flag i is set in the flag bytes `bytes` of a stored row.
  static bool isSetIn(const uint8_t* bytes, uint32_t i) { return (bytes[i / 8] & mask(i)) != 0; }

  uint32_t bitCount() const { return bitCount_; }
  uint32_t byteSize() const { return byteSize_; }
  const uint8_t* bytes() const { return byteSize_ <= kInline ? inline_ : heap_.data(); }

  // REQUIRES: i < byteSize() * 8.
  bool isSet(uint32_t i) const { return isSetIn(bytes(), i); }
  void set(uint32_t i) { data()[i / 8] |= mask(i); }
  void reset(uint32_t i) { data()[i / 8] &= static_cast<uint8_t>(~mask(i)); }

  // True when no bit beyond the bit count is set.
  bool clearBeyondCount() const { return clearBeyondCountIn(bytes(), bitCount_, byteSize_); }
  // The same of the `size` flag bytes `bytes` of `bitCount` flags.
  static bool clearBeyondCountIn(const uint8_t* bytes, uint32_t bitCount, uint32_t size) {
    for (uint32_t bit = bitCount; bit < size * 8; ++bit) {
      if (isSetIn(bytes, bit)) return false;
    }
    return true;
  }

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
  static constexpr uint32_t kInline = 8;
  static uint8_t mask(uint32_t i) { return static_cast<uint8_t>(0x80u >> (i % 8)); }
  uint8_t* data() { return byteSize_ <= kInline ? inline_ : heap_.data(); }
  // Gives the set a block of its own for the byteSize_ bytes at `bytes`.
  void copyToHeap(const uint8_t* bytes, const RaiseSite& where);

  uint32_t bitCount_ = 0;
  uint32_t byteSize_ = 0;
  uint8_t inline_[kInline] = {};
  ByteBlock heap_;  // the bytes when there are more than kInline
};
