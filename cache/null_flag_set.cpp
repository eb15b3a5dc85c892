#include "cache/null_flag_set.h"

#include <algorithm>

NullFlagSet NullFlagSet::copy(const RaiseSite& where) const {
  ByteBlock bytes = allocBlock(bytes_.size(), where);
  std::copy(bytes_.begin(), bytes_.end(), bytes.begin());
  return NullFlagSet(bitCount_, std::move(bytes));
}

void NullFlagSet::appendSetBit(const RaiseSite& where) {
  const uint32_t count = bitCount_ + 1;
  if (bytesFor(count) > bytes_.size()) {
    ByteBlock grown = allocBlock(bytesFor(count), where);
    std::copy(bytes_.begin(), bytes_.end(), grown.begin());
    bytes_ = std::move(grown);
  }
  bitCount_ = count;
  set(count - 1);
}

void NullFlagSet::setAll() {
  std::fill(bytes_.begin(), bytes_.end(), 0);
  for (uint32_t i = 0; i < bitCount_; ++i) set(i);
}

void NullFlagSet::clear() {
  bytes_ = ByteBlock();
  bitCount_ = 0;
}
