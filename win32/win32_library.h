// The build record of the win32 library.
#pragma once

#include "support/library_record.h"

// The library's one record, built on the first call and destroyed at exit.
const LibraryRecord& win32LibraryRecord();
