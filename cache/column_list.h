// Column definitions, shared between the rows of one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CacheColumn {
  std::string name;  // compared byte-wise and case-sensitively
  int32_t type = 0;  // an ODBC C-type code, not validated
};

// The ordered columns of a row. Row data refers to its list through a
// RefPtr; a list is changed only when one row data alone refers to it.
struct CacheColumnList {
  int32_t refCount = 0;
  std::vector<CacheColumn> columns;

  // Index of the first column named `name`, or -1.
  int32_t find(const std::string& name) const {
    for (size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].name == name) return static_cast<int32_t>(i);
    }
    return -1;
  }
};
