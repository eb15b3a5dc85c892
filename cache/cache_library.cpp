#include "cache/cache_library.h"

#include "support/version.h"

const LibraryRecord& cacheLibraryRecord() {
  static const LibraryRecord record("smartcache", __DATE__, __FILE__,
                                    LibraryVersion{kVersionMajor, kVersionMinor, kVersionPatch});
  return record;
}
