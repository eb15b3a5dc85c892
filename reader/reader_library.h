// The build record of the reader library.
#pragma once

#include "support/library_record.h"

// The library's one record, built on the first call and destroyed at exit.
const LibraryRecord& readerLibraryRecord();
