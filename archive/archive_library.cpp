#include "archive/archive_library.h"

const LibraryRecord& archiveLibraryRecord() {
  static const LibraryRecord record("archive", __DATE__, __FILE__, LibraryVersion{1, 1, 0});
  return record;
}
