#include "cache/null_flag_set.h"

#include <algorithm>
#include <cstring>

void NullFlagSet::copyToHeap(const uint8_t* bytes, const RaiseSite& where) {
  heap_ = allocBlock(byteSize_, where, false);
  std::memcpy(heap_.data(), bytes, byteSize_);
}

NullFlagSet NullFlagSet::copy(const RaiseSite& where) const {
  return NullFlagSet(bitCount_, bytes(), byteSize_, where);
}

void NullFlagSet::appendSetBit(const RaiseSite& where) {
  const uint32_t count = bitCount_ + 1;
  const uint32_t size = std::max(bytesFor(count), byteSize_);
  if (size > kInline && size > heap_.size()) {
    ByteBlock grown = allocBlock(size, where);
    std::copy(bytes(), bytes() + byteSize_, grown.begin());
    heap_ = std::move(grown);
  } else if (size <= kInline) {
    std::fill(inline_ + byteSize_, inline_ + size, 0);
  }
  byteSize_ = size;
  bitCount_ = count;
  set(count - 1);
}

void NullFlagSet::setAll() {
  std::fill(data(), data() + byteSize_, 0);
  for (uint32_t i = 0; i < bitCount_; ++i) set(i);
}

void NullFlagSet::clear() {
  heap_ = ByteBlock();
  bitCount_ = 0;
  byteSize_ = 0;
}
