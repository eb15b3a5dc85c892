#include "cache/type_codes.h"

#include <gtest/gtest.h>

#include "cache/cache_alloc.h"
#include "cache/test_tables.h"

namespace {

TEST(TypeCodes, NamesOfAllCodes) {
  const std::pair<int32_t, const char*> names[] = {
      {1, "SQL_C_CHAR"},      {2, "SQL_C_NUMERIC"},  {4, "SQL_C_LONG"},
      {5, "SQL_C_SHORT"},     {7, "SQL_C_FLOAT"},    {8, "SQL_C_DOUBLE"},
      {9, "SQL_C_DATE"},      {10, "SQL_C_TIME"},    {11, "SQL_C_TIMESTAMP"},
      {91, "SQL_C_TYPE_DATE"}, {92, "SQL_C_TYPE_TIME"},
      {93, "SQL_C_TYPE_TIMESTAMP"}, {-2, "SQL_C_BINARY"},
      {-6, "SQL_C_TINYINT"},  {-7, "SQL_C_BIT"},     {-15, "SQL_C_SSHORT"},
      {-16, "SQL_C_SLONG"},   {-17, "SQL_C_USHORT"}, {-18, "SQL_C_ULONG"},
      {-25, "SQL_C_SBIGINT"}, {-26, "SQL_C_STINYINT"},
      {-27, "SQL_C_UBIGINT"}, {-28, "SQL_C_UTINYINT"}};
  for (const auto& [code, name] : names) EXPECT_EQ(typeName(code), name) << code;
  EXPECT_EQ(typeName(3), "unknown (3)");
  EXPECT_EQ(typeName(-1), "unknown (-1)");
  // Codes are taken as signed 16-bit values.
  EXPECT_EQ(typeName(0x10000 + 93), "SQL_C_TYPE_TIMESTAMP");
}

TEST(TypeCodes, KnownCodesAreTheNamedOnesExactly) {
  int known = 0;
  for (int32_t code = -40; code <= 100; ++code) {
    const bool named = typeName(code).rfind("unknown", 0) != 0;
    EXPECT_EQ(isKnownType(code), named) << code;
    known += named ? 1 : 0;
  }
  EXPECT_EQ(known, 23);
  // Named by their low 16 bits, but not codes of a table.
  EXPECT_FALSE(isKnownType(0x10000 + SQL_C_CHAR));
  EXPECT_FALSE(isKnownType(-0x10000 + SQL_C_BINARY));
  EXPECT_FALSE(isKnownType(INT32_MIN));
}

TEST(TypeCodes, StorageSizes) {
  EXPECT_EQ(storageSize(SQL_C_CHAR), 0u);
  EXPECT_EQ(storageSize(SQL_C_BINARY), 0u);
  EXPECT_EQ(storageSize(SQL_C_LONG), 4u);
  EXPECT_EQ(storageSize(SQL_C_DOUBLE), 8u);
  for (int32_t code : {9, 91, 10, 92}) EXPECT_EQ(storageSize(code), 6u);
  for (int32_t code : {11, 93}) EXPECT_EQ(storageSize(code), 16u);
  EXPECT_LEXC(storageSize(SQL_C_FLOAT), LExc_Internal_BadConversion, "SQL_C_FLOAT",
              "cache/smartcache", 416);
  EXPECT_LEXC(storageSize(3), LExc_Internal_BadConversion, "unknown (3)",
              "cache/smartcache", 416);
}

TEST(CacheAlloc, FailedAllocationsRaiseMemWithTheirByteCount) {
  EXPECT_LEXC(allocBlock(3000000000ULL, site::kResizeCellAlloc), LExc_Internal_Mem,
              "failed to alloc 2147483647 bytes ", "cache/smartcache", 249);
  EXPECT_LEXC(guardAlloc(40, site::kBlobCopy, []() -> int { throw std::bad_alloc(); }),
              LExc_Internal_Mem, "failed to alloc 40 bytes ", "cache/odbclibinliners",
              2366);
  EXPECT_EQ(allocBlock(3, site::kCopyCells), ByteBlock(3, 0));
}

}  // namespace
