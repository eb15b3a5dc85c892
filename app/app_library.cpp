#include "app/app_library.h"

const LibraryRecord& appLibraryRecord() {
  static const LibraryRecord record("app", __DATE__, __FILE__, LibraryVersion{1, 1, 0});
  return record;
}
