#include "app/main_window_view.h"

#include <gtest/gtest.h>

#include "app/colors.h"
#include "app/control_ids.h"
#include "app/main_window_layout.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"
#include "support/version.h"

namespace {

using testing_game::addRace;

class MainWindowViewTest : public ::testing::Test {
 protected:
  MainWindowViewTest() : game(testing_game::makeGame()) {
    game->SetGameName("Galaxy");
    game->SetRaceNumber(3);
    game->SetTurn(2400);
    addRace(*game, 3, "Terrans", kFriend);
    addRace(*game, 5, "Zorgs", kEnemy);
    CacheRow unrelated = game->RaceTable().templateRow();
    unrelated.setLong(RACNO, 6);
    unrelated.setString(RACNAMPLU, "Kaa");
    game->RaceTable().appendRow(unrelated);  // RACRELATION NULL
    AddMessageRow(*game, "System report", 1, 1, -1);
    AddMessageRow(*game, "FROM  Zorgs\r\nTO  us\r\nHello", 2, 1, -1);
    AddMessageRow(*game, "Our answer", 3, 0, 5);
    AddMessageRow(*game, "To the Kaa", 4, 0, 6);
    AddMessageRow(*game, "To nobody known", 5, 0, 9);
  }

  std::vector<int32_t> ids(const MessageFilter& filter) const {
    std::vector<int32_t> result;
    for (const MessageListItem& item : BuildMainWindowView(*game, filter).items) {
      result.push_back(item.id);
    }
    return result;
  }

  std::unique_ptr<CurrentGame> game;
};

TEST_F(MainWindowViewTest, LoadedState) {
  const MainWindowView view = BuildMainWindowView(*game, MessageFilter());
  EXPECT_TRUE(view.loaded);
  EXPECT_EQ(view.title,
            "Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT
            " - Game: \"Galaxy\" - Race: \"Terrans\"");
  EXPECT_EQ(view.gameLabel, "Galaxy");
  EXPECT_EQ(view.raceLabel, "Terrans");
  EXPECT_EQ(view.yearLabel, "2400");
  EXPECT_TRUE(view.colorRaceLabel);
  EXPECT_EQ(view.raceLabelColor, RaceColors[3]);
  const std::vector<std::pair<int, bool>> order = {
      {1028, true}, {1029, true}, {1022, true}, {1004, true}, {1005, true},
      {1006, true}, {1025, true}, {1023, true}, {1016, true}, {1024, true},
      {1040, true}, {1039, true}, {1020, true}, {1031, true}, {1041, true}, {1019, false}};
  EXPECT_EQ(view.enabling, order);  // the refilled list has no selection: no detail
}

TEST_F(MainWindowViewTest, MessageDetailFollowsTheSelection) {
  EXPECT_TRUE(MessageDetailEnabled(*game, 3));
  EXPECT_TRUE(MessageDetailEnabled(*game, 0));
  EXPECT_FALSE(MessageDetailEnabled(*game, -1));  // nothing, or the no-messages entry
  game->SetTurn(2399);
  EXPECT_FALSE(MessageDetailEnabled(*game, 3));  // nothing loaded
}

TEST_F(MainWindowViewTest, NotLoadedStates) {
  for (const auto& [race, turn] : {std::make_pair(3, 2399), std::make_pair(16, 2400),
                                   std::make_pair(-1, 2400)}) {
    game->SetRaceNumber(race);
    game->SetTurn(turn);
    const MainWindowView view = BuildMainWindowView(*game, MessageFilter());
    EXPECT_FALSE(view.loaded);
    EXPECT_EQ(view.title, "Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT);
    EXPECT_EQ(view.gameLabel, "<not loaded>");
    EXPECT_EQ(view.raceLabel, "<not loaded>");
    EXPECT_EQ(view.yearLabel, "XXXX");
    EXPECT_FALSE(view.colorRaceLabel);
    const std::vector<std::pair<int, bool>> order = {
        {1028, false}, {1029, false}, {1022, false}, {1004, false}, {1005, false},
        {1006, false}, {1025, false}, {1023, false}, {1016, false}, {1024, false},
        {1019, false}, {1040, false}, {1039, false}, {1020, false}, {1031, false},
        {1041, false}};
    EXPECT_EQ(view.enabling, order);
  }
  CurrentGame empty;  // no columns at all: nothing is searched
  EXPECT_EQ(BuildMainWindowView(empty, MessageFilter()).items.size(), 1u);
}

TEST_F(MainWindowViewTest, FiltersOfTheTable) {
  EXPECT_EQ(ids(MessageFilter()), (std::vector<int32_t>{2, 3, 4, 5}));  // player post
  EXPECT_EQ(ids(MessageFilter{true, false, 5}), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(ids(MessageFilter{false, true, -1}), (std::vector<int32_t>{3, 4, 5}));
  EXPECT_EQ(ids(MessageFilter{false, false, -1}), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  // Nothing matches: the one "no messages" entry.
  const MainWindowView none = BuildMainWindowView(*game, MessageFilter{true, false, 2});
  ASSERT_EQ(none.items.size(), 1u);
  EXPECT_EQ(none.items[0].id, -1);
  EXPECT_EQ(none.items[0].height, 100);
  EXPECT_EQ(none.items[0].color, kForeground);
  EXPECT_TRUE(none.items[0].lines.empty());
}

TEST_F(MainWindowViewTest, ItemsTakeTheirRacesColourNameAndRelation) {
  const std::vector<MessageListItem> items =
      BuildMainWindowView(*game, MessageFilter{false, false, -1}).items;
  EXPECT_EQ(items[0].raceName, "");  // a system message
  EXPECT_EQ(items[0].color, kForeground);
  EXPECT_EQ(items[1].raceName, "Zorgs");
  EXPECT_EQ(items[1].color, RaceColors[5]);
  EXPECT_EQ(items[1].relation, RaceRelation::kEnemy);
  EXPECT_EQ(items[1].direction, MessageDirection::kIncoming);
  EXPECT_EQ(items[1].lines, std::vector<std::string>{"Hello"});
  EXPECT_EQ(items[1].turn, 2400);
  EXPECT_EQ(items[1].extent, 10000);
  EXPECT_EQ(items[3].relation, RaceRelation::kNeutral);  // RACRELATION NULL
  EXPECT_EQ(items[3].color, RaceColors[6]);
  EXPECT_EQ(items[3].direction, MessageDirection::kOutgoing);
  EXPECT_EQ(items[4].raceName, "");  // race 9 has no row
  EXPECT_EQ(items[4].color, kForeground);
  EXPECT_EQ(items[4].relation, RaceRelation::kNeutral);
}

TEST(MessageLines, Cutting) {
  EXPECT_EQ(CutMessageLines("A\r\n\r\nB"), (std::vector<std::string>{"A\r", "B"}));
  EXPECT_EQ(MessageItemHeight(CutMessageLines("A\r\n\r\nB").size()), 58);
  EXPECT_EQ(CutMessageLines("one line"), std::vector<std::string>{"one line"});
  EXPECT_EQ(MessageItemHeight(1), 44);
  EXPECT_TRUE(CutMessageLines("").empty());
  EXPECT_EQ(MessageItemHeight(0), 30);
  EXPECT_EQ(CutMessageLines("ab\nc"), (std::vector<std::string>{"ab", "c"}));  // a 1-byte rest stays
  EXPECT_EQ(CutMessageLines("x\ny\n\nlong\n"), std::vector<std::string>{"long"});

  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "line" + std::to_string(i % 10) + "\r\n";
  const std::vector<std::string> lines = CutMessageLines(thirty);
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[17], "line7\r");
  EXPECT_EQ(MessageItemHeight(lines.size()), 255);

  // A text beyond 9999 characters is cut there, never read past.
  const std::string huge = std::string(9998, 'a') + "\nbbbb";
  EXPECT_EQ(CutMessageLines(huge), (std::vector<std::string>{std::string(9998, 'a')}));
  EXPECT_EQ(CutMessageLines(std::string(20000, 'z'))[0].size(), 9999u);
}

TEST(MainWindowLayout, ListGrowsButtonsKeepTheirDistanceFromTheBottom) {
  const Rect window{100, 50, 800, 600};
  const Rect list{230, 130, 700, 500};  // dx 130, dy 80
  MainWindowLayout layout{};
  ASSERT_TRUE(ComputeMainWindowLayout(640, 480, window, list, &layout));
  EXPECT_EQ(layout.listWidth, 640 - 130);
  EXPECT_EQ(layout.listHeight, 480 - 80 + 20);
  EXPECT_EQ(layout.aboutX, 4);
  EXPECT_EQ(layout.aboutY, 480 - 60);
  EXPECT_EQ(layout.quitY, 480 - 35);
  EXPECT_FALSE(ComputeMainWindowLayout(130, 480, window, list, &layout));
  EXPECT_FALSE(ComputeMainWindowLayout(640, 80, window, list, &layout));
  EXPECT_TRUE(ComputeMainWindowLayout(1, 1, window, Rect{}, &layout));  // no list yet: all zero
}

}  // namespace
