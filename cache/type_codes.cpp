#include "cache/type_codes.h"

#include "cache/raise_site.h"
#include "support/text_format.h"

std::string typeName(int32_t code) {
  switch (static_cast<int16_t>(code)) {
    case SQL_C_CHAR: return "SQL_C_CHAR";
    case SQL_C_NUMERIC: return "SQL_C_NUMERIC";
    case SQL_C_LONG: return "SQL_C_LONG";
    case SQL_C_SHORT: return "SQL_C_SHORT";
    case SQL_C_FLOAT: return "SQL_C_FLOAT";
    case SQL_C_DOUBLE: return "SQL_C_DOUBLE";
    case SQL_C_DATE: return "SQL_C_DATE";
    case SQL_C_TIME: return "SQL_C_TIME";
    case SQL_C_TIMESTAMP: return "SQL_C_TIMESTAMP";
    case SQL_C_TYPE_DATE: return "SQL_C_TYPE_DATE";
    case SQL_C_TYPE_TIME: return "SQL_C_TYPE_TIME";
    case SQL_C_TYPE_TIMESTAMP: return "SQL_C_TYPE_TIMESTAMP";
    case SQL_C_BINARY: return "SQL_C_BINARY";
    case SQL_C_TINYINT: return "SQL_C_TINYINT";
    case SQL_C_BIT: return "SQL_C_BIT";
    case SQL_C_SSHORT: return "SQL_C_SSHORT";
    case SQL_C_SLONG: return "SQL_C_SLONG";
    case SQL_C_USHORT: return "SQL_C_USHORT";
    case SQL_C_ULONG: return "SQL_C_ULONG";
    case SQL_C_SBIGINT: return "SQL_C_SBIGINT";
    case SQL_C_STINYINT: return "SQL_C_STINYINT";
    case SQL_C_UBIGINT: return "SQL_C_UBIGINT";
    case SQL_C_UTINYINT: return "SQL_C_UTINYINT";
    default: return formatText("unknown (%d)", static_cast<int>(code));
  }
}

bool isKnownType(int32_t code) {
  // The whole code, not only the low 16 bits that typeName goes by.
  switch (code) {
    case SQL_C_CHAR: case SQL_C_NUMERIC: case SQL_C_LONG: case SQL_C_SHORT:
    case SQL_C_FLOAT: case SQL_C_DOUBLE: case SQL_C_DATE: case SQL_C_TIME:
    case SQL_C_TIMESTAMP: case SQL_C_TYPE_DATE: case SQL_C_TYPE_TIME:
    case SQL_C_TYPE_TIMESTAMP: case SQL_C_BINARY: case SQL_C_TINYINT: case SQL_C_BIT:
    case SQL_C_SSHORT: case SQL_C_SLONG: case SQL_C_USHORT: case SQL_C_ULONG:
    case SQL_C_SBIGINT: case SQL_C_STINYINT: case SQL_C_UBIGINT: case SQL_C_UTINYINT:
      return true;
    default:
      return false;
  }
}

bool isStorableType(int32_t code) {
  switch (code) {
    case SQL_C_CHAR: case SQL_C_BINARY: case SQL_C_LONG: case SQL_C_DOUBLE:
    case SQL_C_DATE: case SQL_C_TYPE_DATE: case SQL_C_TIME:
    case SQL_C_TYPE_TIME: case SQL_C_TIMESTAMP: case SQL_C_TYPE_TIMESTAMP:
      return true;
    default:
      return false;
  }
}

uint32_t storageSize(int32_t code) {
  switch (code) {
    case SQL_C_CHAR: case SQL_C_BINARY: return 0;
    case SQL_C_LONG: return 4;
    case SQL_C_DOUBLE: return 8;
    case SQL_C_DATE: case SQL_C_TYPE_DATE: return 6;
    case SQL_C_TIME: case SQL_C_TYPE_TIME: return 6;
    case SQL_C_TIMESTAMP: case SQL_C_TYPE_TIMESTAMP: return 16;
    default: raiseBadConversion(site::kStorageSize, typeName(code));
  }
}
