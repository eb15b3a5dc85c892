// Arbitrary bytes as a table stream. A stream that loads must survive the
// round trip: saving the table and loading the result gives the same table,
// and saving that gives the same bytes again.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "cache/cache_stream.h"
#include "fuzz/table_equality.h"
#include "support/lexc.h"

namespace {

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SmartCache table;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    loadFromStream(table, in);
  } catch (const LExc_Base&) {
    // A stream it refuses must leave the table as it was: empty.
    if (table.columnCount() != 0 || table.rowCount() != 0) std::abort();
    return 0;
  }
  const std::string bytes = saveToString(table);
  SmartCache again;
  std::istringstream reread(bytes);
  loadFromStream(again, reread);  // raises (and so fails the run) if it cannot
  if (!fuzzing::sameTable(table, again)) std::abort();
  if (saveToString(again) != bytes) std::abort();
  return 0;
}
