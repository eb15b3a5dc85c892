#include "reader/reader_library.h"

const LibraryRecord& readerLibraryRecord() {
  static const LibraryRecord record("reader", __DATE__, __FILE__, LibraryVersion{1, 1, 0});
  return record;
}
