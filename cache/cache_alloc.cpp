#include "cache/cache_alloc.h"

#include <limits>

ByteBlock allocBlock(uint64_t bytes, const RaiseSite& where) {
  if (bytes > std::numeric_limits<int32_t>::max()) raiseMem(where, bytes);
  return guardAlloc(bytes, where,
                    [&] { return ByteBlock(static_cast<size_t>(bytes)); });
}
