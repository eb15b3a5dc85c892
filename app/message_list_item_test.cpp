// The lines of a list item read the text where it lies in its row: they
// must stay as they were whatever happens to the table afterwards.
#include "app/message_list_item.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cache/cache_stream.h"
#include "cache/smartcache.h"
#include "cache/type_codes.h"

namespace {

std::vector<std::string> strings(const MessageLines& lines) {
  std::vector<std::string> out;
  for (std::string_view line : lines) out.emplace_back(line);
  return out;
}

TEST(MessageLines, StayWithTheirRowWhenTheTableChangesOrGoes) {
  auto table = std::make_unique<SmartCache>();
  table->addColumn("MSGTXT", SQL_C_CHAR);
  CacheRow row = table->templateRow();
  row.setString(0, "FROM  Zorgs\r\nTO  you\r\n\r\nPeace?");
  table->appendRow(row);
  std::istringstream in(saveToString(*table));
  loadFromStream(*table, in);  // a row in the table's arena

  const CacheRow stored = table->rowAt(0);
  const MessageLines lines(stored, stored.textView(0));
  ASSERT_EQ(lines.size(), 3u);
  CacheRow changed = table->rowAt(0);
  changed.setString(0, "something else entirely");
  table->replaceRow(0, changed);
  table.reset();
  EXPECT_EQ(lines, (std::vector<std::string>{"FROM  Zorgs\r", "TO  you\r", "Peace?"}));
}

TEST(MessageLines, TakeAtMostEighteenLinesOfTheFirst9999Bytes) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line" + std::to_string(i) + "\n";
  const MessageLines many(text);
  EXPECT_EQ(many.size(), 18u);
  EXPECT_EQ(strings(many).back(), "line17");

  const MessageLines shortSegments(std::string("a\n\nb\nxy\nz"));  // 0- and 1-byte segments go
  EXPECT_EQ(strings(shortSegments), (std::vector<std::string>{"xy", "z"}));

  std::string huge(9998, 'a');
  huge += "\nbeyond";
  EXPECT_EQ(strings(MessageLines(huge)), (std::vector<std::string>{std::string(9998, 'a')}));
  EXPECT_TRUE(MessageLines().empty());
  EXPECT_TRUE(MessageLines(std::string("\n\n")).empty());
}

}  // namespace
