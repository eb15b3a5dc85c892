#include "archive/archive_library.h"

#include "support/version.h"

const LibraryRecord& archiveLibraryRecord() {
  static const LibraryRecord record("archive", __DATE__, __FILE__,
                                    LibraryVersion{kVersionMajor, kVersionMinor, kVersionPatch});
  return record;
}
