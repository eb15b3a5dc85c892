#include "win32/library_records.h"

#include "app/app_library.h"
#include "archive/archive_library.h"
#include "cache/cache_library.h"
#include "reader/reader_library.h"
#include "support/support_library.h"
#include "win32/win32_library.h"

void EnrolLibraryRecords() {
  supportLibraryRecord();
  cacheLibraryRecord();
  readerLibraryRecord();
  archiveLibraryRecord();
  appLibraryRecord();
  win32LibraryRecord();
}
