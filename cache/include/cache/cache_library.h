// The build record of the table library.
#pragma once

#include "support/library_record.h"

// The library's one record, built on the first call and destroyed at exit.
const LibraryRecord& cacheLibraryRecord();
