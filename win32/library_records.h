// The build records of the program's six internal libraries.
#pragma once

// Builds every library's record, which enrols it in the LibraryRegistry:
// support, smartcache, reader, archive, app and win32, in that order.
// Further calls change nothing.
void EnrolLibraryRecords();
