// Tables and checks shared by the table library's tests.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cache/cache_stream.h"
#include "cache/smartcache.h"
#include "cache/type_codes.h"
#include "support/lexc.h"

namespace testing_tables {

// The race table's seven columns.
inline void defineRaceColumns(SmartCache& table) {
  table.addColumn("RACNO", SQL_C_LONG);
  table.addColumn("RACNAMSING", SQL_C_CHAR);
  table.addColumn("RACNAMPLU", SQL_C_CHAR);
  table.addColumn("RACEPLAYERNAM", SQL_C_CHAR);
  table.addColumn("RACEMAIL", SQL_C_CHAR);
  table.addColumn("RACRELATION", SQL_C_LONG);
  table.addColumn("RACHROWID", SQL_C_TYPE_TIMESTAMP);
}

// The message table's seven columns.
inline void defineMessageColumns(SmartCache& table) {
  table.addColumn("TURN", SQL_C_LONG);
  table.addColumn("MSGID", SQL_C_LONG);
  table.addColumn("MSGTYP", SQL_C_LONG);
  table.addColumn("MSGTXT", SQL_C_CHAR);
  table.addColumn("MSGRACNO", SQL_C_LONG);
  table.addColumn("MSGINCOMING", SQL_C_LONG);
  table.addColumn("MSGHROWID", SQL_C_TYPE_TIMESTAMP);
}

// A table with one column of each of the seven accessible types.
inline void defineAllTypeColumns(SmartCache& table) {
  table.addColumn("L", SQL_C_LONG);
  table.addColumn("S", SQL_C_CHAR);
  table.addColumn("D", SQL_C_DOUBLE);
  table.addColumn("B", SQL_C_BINARY);
  table.addColumn("DAT", SQL_C_TYPE_DATE);
  table.addColumn("TIM", SQL_C_TYPE_TIME);
  table.addColumn("TS", SQL_C_TYPE_TIMESTAMP);
}

// Columns N (SQL_C_LONG) and T (SQL_C_CHAR) and `rows` rows: row i has N i
// and a text of `shortest + i % spread` times the letter 'a' + i % 26.
inline void fillNumberedTexts(SmartCache& table, int32_t rows, size_t shortest, int32_t spread) {
  table.addColumn("N", SQL_C_LONG);
  table.addColumn("T", SQL_C_CHAR);
  for (int32_t i = 0; i < rows; ++i) {
    CacheRow row = table.templateRow();
    row.setLong("N", i);
    const size_t length = shortest + static_cast<size_t>(i % spread);
    row.setString("T", std::string(length, static_cast<char>('a' + i % 26)));
    table.appendRow(row);
  }
}

inline std::string saved(const SmartCache& table) { return saveToString(table); }

inline void load(SmartCache& table, const std::string& bytes) {
  std::istringstream in(bytes);
  loadFromStream(table, in);
}

// The values of column `name` of every row, as cell texts.
inline std::vector<std::string> columnTexts(const SmartCache& table,
                                            const std::string& name) {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < table.rowCount(); ++i) {
    const CacheRow row = table.rowAt(i);
    texts.push_back(row.cellText(row.columnIndex(name)));
  }
  return texts;
}

}  // namespace testing_tables

// Runs `statement` and checks that it throws the exception class `Class`
// with the given text, module and line.
#define EXPECT_LEXC(statement, Class, expectedText, expectedModule, expectedLine) \
  do {                                                                           \
    try {                                                                        \
      statement;                                                                 \
      ADD_FAILURE() << "no exception from " #statement;                         \
    } catch (const Class& e) {                                                   \
      EXPECT_EQ(e.type(), #Class);                                               \
      EXPECT_EQ(e.text(), expectedText);                                         \
      EXPECT_EQ(e.file(), expectedModule);                                       \
      EXPECT_EQ(e.line(), expectedLine);                                         \
    } catch (const LExc_Base& e) {                                               \
      ADD_FAILURE() << "other exception: " << e.reportText();                   \
    }                                                                            \
  } while (0)

// Runs `statement` and checks that it raises "invalid stream".
#define EXPECT_INVALID_STREAM(statement)                       \
  do {                                                         \
    try {                                                      \
      statement;                                               \
      ADD_FAILURE() << "no exception from " #statement;       \
    } catch (const LExc_Internal_Unexpected& e) {              \
      EXPECT_EQ(e.text(), "invalid stream");                   \
    } catch (const LExc_Base& e) {                             \
      ADD_FAILURE() << "other exception: " << e.reportText(); \
    }                                                          \
  } while (0)
