#include "win32/win32_library.h"

const LibraryRecord& win32LibraryRecord() {
  static const LibraryRecord record("win32", __DATE__, __FILE__, LibraryVersion{1, 1, 0});
  return record;
}
