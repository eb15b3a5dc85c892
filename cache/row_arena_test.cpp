// Loaded and copied rows live in their table's arena: they must outlive
// the table, change only through copies of their own, and save as before.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "cache/row_arena.h"
#include "cache/test_tables.h"

namespace {

using testing_tables::defineMessageColumns;
using testing_tables::load;
using testing_tables::saved;

// A message table of `rows` rows whose texts differ in length.
void fillMessages(SmartCache& table, int rows) {
  defineMessageColumns(table);
  for (int i = 0; i < rows; ++i) {
    CacheRow row = table.templateRow();
    row.setLong("TURN", 2400 + i % 3);
    row.setLong("MSGID", i);
    row.setString("MSGTXT", std::string(static_cast<size_t>(i % 50), static_cast<char>('a' + i % 26)));
    if (i % 4 != 0) row.setLong("MSGRACNO", i % 16);
    table.appendRow(row);
  }
}

TEST(RowArena, GivesAlignedRoomInGrowingBlocksAndKeepsWhatItIsGiven) {
  RefPtr<RowArena> arena = RowArena::create();
  size_t total = 0;
  for (size_t size : {1, 3, 64, 5000, 1, 100000, 7}) {
    auto* place = static_cast<uint8_t*>(arena->allocate(size, 8, site::kNewRowData));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(place) % 8, 0u);
    std::fill(place, place + size, 0xAB);  // the room is writable (ASan checks its extent)
    total += size;
  }
  EXPECT_GE(arena->footprint(), total);
  ByteBlock kept(1000, 7);
  const uint8_t* bytes = kept.data();
  arena->keep(std::move(kept));
  EXPECT_EQ(bytes[999], 7);
}

TEST(RowArena, LoadedRowsOutliveTheirTableAndChangeOnlyAsCopies) {
  SmartCache original;
  fillMessages(original, 300);
  const std::string bytes = saved(original);

  auto table = std::make_unique<SmartCache>();
  load(*table, bytes);
  CacheRow kept = table->rowAt(7);
  CacheRow changed = table->rowAt(8);
  changed.setString("MSGTXT", std::string(500, 'x'));  // larger: cells of its own
  changed.setLong("MSGID", -8);                           // same size
  table.reset();  // the rows keep the arena alive

  EXPECT_EQ(kept.getLong("MSGID"), 7);
  EXPECT_EQ(kept.getString("MSGTXT"), original.rowAt(7).getString("MSGTXT"));
  EXPECT_EQ(changed.getLong("MSGID"), -8);
  EXPECT_EQ(changed.getString("MSGTXT"), std::string(500, 'x'));

  // A change in place writes the row's own bytes, never its neighbours'.
  SmartCache again;
  load(again, bytes);
  CacheRow row = again.rowAt(3);
  again.clearRows();  // the handle is now the only one
  row.setLong("MSGID", 1234);
  SmartCache reloaded;
  load(reloaded, bytes);
  EXPECT_EQ(saved(reloaded), bytes);
  EXPECT_EQ(row.getLong("MSGID"), 1234);
}

TEST(RowArena, AppendCopyGivesWhatAssignByNameGives) {
  SmartCache source;
  fillMessages(source, 40);
  SmartCache loaded;  // the same columns in a list of its own
  load(loaded, saved(source));

  SmartCache byBlock, byName;
  defineMessageColumns(byBlock);
  defineMessageColumns(byName);
  for (int32_t i = 0; i < loaded.rowCount(); ++i) {
    byBlock.appendCopy(loaded.rowAt(i));
    CacheRow copy = byName.templateRow();
    assignByName(copy, loaded.rowAt(i));
    byName.appendRow(copy);
  }
  EXPECT_EQ(saved(byBlock), saved(byName));
  EXPECT_TRUE(byBlock.rowAt(0).sharesColumnsWith(byBlock.templateRow()));

  // Other columns are matched by name; the copies do not change with the
  // rows they were made from.
  SmartCache fewer;
  fewer.addColumn("MSGTXT", SQL_C_CHAR);
  fewer.addColumn("MSGID", SQL_C_LONG);
  CacheRow first = loaded.rowAt(1);
  fewer.appendCopy(first);
  fewer.appendCopy(byBlock.rowAt(2));
  first.setString("MSGTXT", "changed");
  EXPECT_EQ(fewer.rowAt(0).getString("MSGTXT"), source.rowAt(1).getString("MSGTXT"));
  EXPECT_EQ(fewer.rowAt(1).getLong("MSGID"), 2);
  EXPECT_EQ(fewer.rowAt(0).columnCount(), 2u);

  // A copy of a row that is the table's own template data is still a row
  // of its own.
  SmartCache same;
  defineMessageColumns(same);
  same.appendCopy(same.templateRow());
  EXPECT_FALSE(same.rowAt(0).sharesDataWith(same.templateRow()));
  same.appendCopy(loaded.rowAt(3));
  byBlock.clearRows();
  EXPECT_EQ(same.rowAt(1).getString("MSGTXT"), source.rowAt(3).getString("MSGTXT"));
}

}  // namespace
