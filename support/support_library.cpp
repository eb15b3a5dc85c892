#include "support/support_library.h"

const LibraryRecord& supportLibraryRecord() {
  static const LibraryRecord record("support", __DATE__, __FILE__,
                                    LibraryVersion{1, 1, 0});
  return record;
}
