#include "support/support_library.h"

#include "support/version.h"

const LibraryRecord& supportLibraryRecord() {
  static const LibraryRecord record("support", __DATE__, __FILE__,
                                    LibraryVersion{kVersionMajor, kVersionMinor, kVersionPatch});
  return record;
}
