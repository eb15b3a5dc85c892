// Column type codes: the ODBC C-type codes, their names and their storage.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int32_t SQL_C_CHAR = 1;
inline constexpr int32_t SQL_C_NUMERIC = 2;
inline constexpr int32_t SQL_C_LONG = 4;
inline constexpr int32_t SQL_C_SHORT = 5;
inline constexpr int32_t SQL_C_FLOAT = 7;
inline constexpr int32_t SQL_C_DOUBLE = 8;
inline constexpr int32_t SQL_C_DATE = 9;
inline constexpr int32_t SQL_C_TIME = 10;
inline constexpr int32_t SQL_C_TIMESTAMP = 11;
inline constexpr int32_t SQL_C_TYPE_DATE = 91;
inline constexpr int32_t SQL_C_TYPE_TIME = 92;
inline constexpr int32_t SQL_C_TYPE_TIMESTAMP = 93;
inline constexpr int32_t SQL_C_BINARY = -2;
inline constexpr int32_t SQL_C_TINYINT = -6;
inline constexpr int32_t SQL_C_BIT = -7;
inline constexpr int32_t SQL_C_SSHORT = -15;
inline constexpr int32_t SQL_C_SLONG = -16;
inline constexpr int32_t SQL_C_USHORT = -17;
inline constexpr int32_t SQL_C_ULONG = -18;
inline constexpr int32_t SQL_C_SBIGINT = -25;
inline constexpr int32_t SQL_C_STINYINT = -26;
inline constexpr int32_t SQL_C_UBIGINT = -27;
inline constexpr int32_t SQL_C_UTINYINT = -28;

// The name of a code taken as a signed 16-bit value ("SQL_C_CHAR"), or
// "unknown (<code>)" for a code without a name.
std::string typeName(int32_t code);

// True for the codes above, the column types a table knows; a stream that
// names a column of any other code is damaged.
bool isKnownType(int32_t code);

// True for the ten codes whose cells can hold a value.
bool isStorableType(int32_t code);

// Bytes a non-NULL cell of `code` occupies: the fixed size, or 0 for the two
// variable types (text and binary), whose cells are a 32-bit length and that
// many bytes. Any other code raises LExc_Internal_BadConversion with the
// code's typeName.
uint32_t storageSize(int32_t code);
