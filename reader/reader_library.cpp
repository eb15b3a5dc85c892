#include "reader/reader_library.h"

#include "support/version.h"

const LibraryRecord& readerLibraryRecord() {
  static const LibraryRecord record("reader", __DATE__, __FILE__,
                                    LibraryVersion{kVersionMajor, kVersionMinor, kVersionPatch});
  return record;
}
