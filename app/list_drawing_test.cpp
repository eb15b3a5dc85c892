#include "app/list_drawing.h"

#include <gtest/gtest.h>

#include "app/colors.h"
#include "app/control_drawing.h"
#include "app/raster_canvas.h"

namespace {

constexpr MessageDirection kIncoming = MessageDirection::kIncoming;
constexpr MessageDirection kOutgoing = MessageDirection::kOutgoing;

MessageListItem message(MessageDirection direction) {
  MessageListItem item;
  item.id = 7;
  item.turn = 2401;
  item.color = RaceColors[2];
  item.height = 58;
  item.direction = direction;
  item.raceName = "Zorgs";
  item.relation = RaceRelation::kEnemy;
  item.lines = MessageLines("HELLO\nTHERE");
  return item;
}

// The leftmost column of the text lines (below the header row).
int linesLeft(const RasterCanvas& canvas) {
  for (int x = 0; x < canvas.Width(); ++x) {
    for (int y = 14; y < 38; ++y) {
      if (canvas.Pixel(x, y) != kBackground && !(x >= 5 && x <= 35 && y >= 20 && y <= 35)) return x;
    }
  }
  return -1;
}

TEST(MessageListItem, Headers) {
  MessageListItem item = message(kIncoming);
  EXPECT_EQ(MessageItemHeader(item, 0, 3),
            "--- Diplomatic Message [1/3] --- from: Zorgs ( Relation: Enemy )");
  item.direction = kOutgoing;
  item.relation = RaceRelation::kFriend;
  EXPECT_EQ(MessageItemHeader(item, 2, 3),
            "--- Diplomatic Message [3/3] --- next turn outgoing to: Zorgs ( Relation: Friend )");
  item.relation = RaceRelation::kNeutral;
  EXPECT_NE(MessageItemHeader(item, 0, 1).find("Neutral"), std::string::npos);
  item.relation = static_cast<RaceRelation>(5);  // a stored number beyond enemy
  EXPECT_NE(MessageItemHeader(item, 0, 1).find("( Relation: Enemy )"), std::string::npos);
  item.raceName.clear();
  EXPECT_EQ(MessageItemHeader(item, 4, 9), "--- System Message [5/9] ---");
}

TEST(MessageListItem, SelectedItemsAreFilledWithTheirColourAndDrawnInBlack) {
  RasterCanvas canvas(400, 58);
  DrawMessageListItem(canvas, Rect{0, 0, 400, 58}, message(kIncoming), 0, 1, kOdsSelected);
  EXPECT_EQ(canvas.Pixel(399, 57), RaceColors[2]);
  EXPECT_EQ(canvas.Count(kBackground) + canvas.Count(RaceColors[2]), 400 * 58);
  EXPECT_GT(canvas.Count(kBackground), 100);

  RasterCanvas plain(400, 58);
  DrawMessageListItem(plain, Rect{0, 0, 400, 58}, message(kIncoming), 0, 1, 0);
  EXPECT_EQ(plain.Pixel(399, 57), kBackground);
  EXPECT_GT(plain.Count(RaceColors[2]), 100);

  RasterCanvas disabled(400, 58);
  DrawMessageListItem(disabled, Rect{0, 0, 400, 58}, message(kIncoming), 0, 1, kOdsDisabled);
  EXPECT_EQ(disabled.Count(kBackground) + disabled.Count(kDisabled), 400 * 58);
}

TEST(MessageListItem, OutgoingPostHasAnEnvelopeAndIndentedLines) {
  RasterCanvas incoming(400, 58);
  DrawMessageListItem(incoming, Rect{0, 0, 400, 58}, message(kIncoming), 0, 1, 0);
  RasterCanvas outgoing(400, 58);
  DrawMessageListItem(outgoing, Rect{0, 0, 400, 58}, message(kOutgoing), 0, 1, 0);
  EXPECT_EQ(linesLeft(incoming), 5);
  EXPECT_EQ(linesLeft(outgoing), 45);
  EXPECT_EQ(outgoing.Pixel(5, 20), RaceColors[2]);   // the envelope's corner
  EXPECT_EQ(outgoing.Pixel(20, 30), RaceColors[2]);  // its flap's tip
  EXPECT_EQ(incoming.Pixel(20, 30), kBackground);
  // The first line starts 14 pixels down, 10 high (scale 0, 1).
  EXPECT_EQ(incoming.Pixel(5, 14), RaceColors[2]);  // H
  EXPECT_EQ(incoming.Pixel(5, 22), RaceColors[2]);
  EXPECT_EQ(incoming.Pixel(5, 28), RaceColors[2]);  // T of the second line
}

TEST(MessageListItem, NoMessagesEntry) {
  MessageListItem empty;
  empty.id = -1;
  empty.color = kForeground;
  empty.height = 100;
  RasterCanvas canvas(300, 100);
  DrawMessageListItem(canvas, Rect{0, 0, 300, 100}, empty, 0, 1, 0);
  const Rect drawn = canvas.Bounds();
  EXPECT_EQ(drawn.left, 10 + 2);  // the first '-' of "--- No Messages ---" (scale 1, 0)
  EXPECT_EQ(drawn.top, 2);        // the N
  EXPECT_EQ(drawn.bottom, 2 + 5);
  empty.direction = kOutgoing;
  RasterCanvas envelope(300, 100);
  DrawMessageListItem(envelope, Rect{0, 0, 300, 100}, empty, 0, 1, 0);
  EXPECT_EQ(envelope.Pixel(35, 35), kForeground);
}

TEST(ColorListItem, SizeAndDrawing) {
  const ColorListItem zorgs{"Zorgs", RaceColors[1], 1};
  EXPECT_EQ(ColorListItemHeight(0), 11);
  EXPECT_EQ(ColorListItemHeight(1), 16);
  EXPECT_EQ(ColorListExtent(zorgs), 5 * 4 + 50);
  RasterCanvas canvas(100, 16);
  DrawColorListItem(canvas, Rect{0, 0, 100, 16}, zorgs, 0);
  const Rect text = canvas.Bounds();
  EXPECT_EQ(text.left, 2);
  EXPECT_EQ(text.top, 2);
  EXPECT_EQ(text.Height(), 9);  // grid rows 0 to 4 at scale 1
  EXPECT_EQ(canvas.Pixel(2, 2), RaceColors[1]);
  RasterCanvas selected(100, 16);
  DrawColorListItem(selected, Rect{0, 0, 100, 16}, zorgs, kOdsSelected);
  EXPECT_EQ(selected.Pixel(99, 15), RaceColors[1]);
  EXPECT_EQ(selected.Pixel(2, 2), kBackground);
}

}  // namespace
