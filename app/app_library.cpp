#include "app/app_library.h"

#include "support/version.h"

const LibraryRecord& appLibraryRecord() {
  static const LibraryRecord record("app", __DATE__, __FILE__,
                                    LibraryVersion{kVersionMajor, kVersionMinor, kVersionPatch});
  return record;
}
