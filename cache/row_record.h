// One row record of a table stream (cache_stream.h has the format), for
// the table library's own code and tests.
#pragma once

#include <iosfwd>

#include "cache/row_data.h"

// Writes the record of `row`.
void writeRowData(const CacheRowData& row, std::ostream& out);
// Reads one row record into `row`, which must belong to one handle only.
// Raises "invalid stream" like loadFromStream; `row` is then left without
// columns.
void readRowData(CacheRowData& row, std::istream& in);
