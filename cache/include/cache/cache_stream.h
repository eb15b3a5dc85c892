// The stream form of a table: what the archive's .sav files hold.
//
// All integers are 32-bit little-endian. A table stream is the counted
// string "SC", the row count, the template row's record and one record per
// row in store order. A row record is the counted string "SR", the column
// count, per column its name (a counted string) and type code, the NULL-flag
// bit count, (bits div 8) + 1 flag bytes, the cell byte length and the
// packed cell bytes. A counted string is a length and that many bytes.
#pragma once

#include <iosfwd>
#include <string>

#include "cache/smartcache.h"

// Writes the whole table. The table is unchanged; write errors are left in
// the stream's state for the caller to check.
void saveToStream(const SmartCache& table, std::ostream& out);
// The bytes saveToStream writes.
std::string saveToString(const SmartCache& table);

// Replaces the table's columns and rows by those of the stream: the columns
// of the stream's template record, and per row record the values of the
// same-named columns. A stream that is not a whole, consistent table
// (wrong magic, ended early, counts, lengths, flags or cells that do not
// agree, a column without a name or of a code that isKnownType refuses, a
// cell that cannot be read as its template column's type) raises
// LExc_Internal_Unexpected "invalid stream"; the table is then left as it
// was before the call. Counts beyond what the stream's bytes could hold
// (while they are read, what its buffer says it holds) are refused before
// memory is taken for them, and the head (row count, template record and
// the first row's columns) before the rest is read.
void loadFromStream(SmartCache& table, std::istream& in);

// A null text is written as the length 0.
void writeCountedString(const char* text, std::ostream& out);
// Keeps at most 9999 bytes, up to the first zero byte; the rest of a longer
// string is read and dropped so that the stream stays in step.
std::string readCountedString(std::istream& in);

// Gives `destination` the values of `source`, column by column matched by
// name: the source column at the same position when it has the same name,
// else the first source column of that name (so that rows with the same
// columns copy straight across even when names repeat). When both rows share their
// column list the destination simply shares the source's data. Destination
// columns that the source lacks or holds NULL become NULL; values are copied
// through the typed accessors of the destination column's type, so a source
// cell of another type raises their conversion error. A cell of a code that
// no accessor takes (9, 10, 11) keeps its stored bytes when the source
// column has the same code. A failure leaves the destination as it was.
void assignByName(CacheRow& destination, const CacheRow& source);
