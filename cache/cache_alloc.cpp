#include "cache/cache_alloc.h"

#include <limits>

ByteBlock allocBlock(uint64_t bytes, const RaiseSite& where, bool zeroed) {
  if (bytes > std::numeric_limits<int32_t>::max()) raiseMem(where, bytes);
  const auto size = static_cast<size_t>(bytes);
  return guardAlloc(bytes, where, [&] { return zeroed ? ByteBlock(size, 0) : ByteBlock(size); });
}
