#include "win32/win32_library.h"

#include "support/version.h"

const LibraryRecord& win32LibraryRecord() {
  static const LibraryRecord record("win32", __DATE__, __FILE__,
                                    LibraryVersion{kVersionMajor, kVersionMinor, kVersionPatch});
  return record;
}
