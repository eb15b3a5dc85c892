// The debug dump of a table as tab-separated text.
#pragma once

#include <iosfwd>

#include "cache/smartcache.h"

// Writes an empty line, a header line with every column name followed by a
// TAB, and per row a line with every cell's cellText followed by a TAB.
// Lines end with '\n' (the caller's stream translates it), and the stream is
// flushed after each. Text cells are written unchanged, tabs and line breaks
// included. An error raised by a cell leaves the lines before it written and
// propagates.
void dumpCache(const SmartCache& table, std::ostream& out);
