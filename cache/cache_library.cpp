#include "cache/cache_library.h"

const LibraryRecord& cacheLibraryRecord() {
  static const LibraryRecord record("smartcache", __DATE__, __FILE__,
                                    LibraryVersion{1, 1, 0});
  return record;
}
