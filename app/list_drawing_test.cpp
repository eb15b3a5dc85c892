#include "app/list_drawing.h"

#include <gtest/gtest.h>

#include "app/colors.h"
#include "app/control_drawing.h"
#include "app/raster_canvas.h"
#include "archive/message_search.h"

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

TEST(MessageListItem, MarkedSpansJoinWhatOverlapsOrTouches) {
  using Spans = std::vector<std::pair<size_t, size_t>>;
  EXPECT_EQ(MarkedSpans(TextMatcher("bc", false), "abcabc"), (Spans{{1, 3}, {4, 6}}));
  EXPECT_EQ(MarkedSpans(TextMatcher("aa", false), "aaaa b"), (Spans{{0, 4}}));
  EXPECT_EQ(MarkedSpans(TextMatcher("ab", false), "abab"), (Spans{{0, 4}}));
  EXPECT_EQ(MarkedSpans(TextMatcher("ZORGS", true), "Zorgs, zorgs!"), (Spans{{0, 5}, {7, 12}}));
  EXPECT_TRUE(MarkedSpans(TextMatcher("ZORGS", false), "Zorgs").empty());
  EXPECT_TRUE(MarkedSpans(TextMatcher("", false), "Zorgs").empty());
}

// A found text is underlined in each line it stands in, a pixel below the
// glyphs (10 high at scale 0, 1), from its first glyph's left edge to its
// last glyph's right edge (cells of 6, glyphs of 5 pixels).
TEST(MessageListItem, MarksUnderlineTheFoundTextInTheLinesShown) {
  MessageListItem item = message(kIncoming);
  item.lines = MessageLines("Hello\nthere, HELLO");
  const TextMatcher hello("hello", true);
  RasterCanvas marked(400, 58);
  DrawMessageListItem(marked, Rect{0, 0, 400, 58}, item, 0, 1, 0, &hello);
  RasterCanvas plain(400, 58);
  DrawMessageListItem(plain, Rect{0, 0, 400, 58}, item, 0, 1, 0);
  const int first = 14 + 10;  // the first line's underline
  const int second = first + 14;
  EXPECT_EQ(marked.Pixel(5, first), RaceColors[2]);
  EXPECT_EQ(marked.Pixel(5 + 5 * 6 - 2, first), RaceColors[2]);
  EXPECT_EQ(marked.Pixel(5 + 5 * 6 - 1, first), kBackground);
  EXPECT_EQ(marked.Pixel(5 + 7 * 6 - 1, second), kBackground);
  EXPECT_EQ(marked.Pixel(5 + 7 * 6, second), RaceColors[2]);
  EXPECT_EQ(marked.Pixel(5 + 12 * 6 - 2, second), RaceColors[2]);
  EXPECT_EQ(plain.Pixel(5, first), kBackground);
  EXPECT_EQ(marked.Count(RaceColors[2]) - plain.Count(RaceColors[2]), 2 * (5 * 6 - 1));

  // Selected, the underline is black on the item's colour like the text.
  RasterCanvas selected(400, 58);
  DrawMessageListItem(selected, Rect{0, 0, 400, 58}, item, 0, 1, kOdsSelected, &hello);
  EXPECT_EQ(selected.Pixel(5, first), kBackground);
}

// Only the lines drawn carry marks: a text found beyond the 18th line (or
// in a skipped one-byte line) marks nothing; in the 18th it does.
TEST(MessageListItem, MarksOfLinesCutAwayAreNotDrawn) {
  const auto linesWithHitAt = [](int hit) {
    std::string text = "x\n";  // a one-byte line, left out
    for (int k = 1; k <= 25; ++k) text += (k == hit ? "line HIT\r\n" : "line " + std::to_string(k) + "\r\n");
    return text;
  };
  const TextMatcher hit("HIT", false);
  const TextMatcher skipped("x", false);
  const auto extra = [&](int at, const TextMatcher& marks) {
    MessageListItem item = message(kIncoming);
    item.lines = MessageLines(linesWithHitAt(at));
    RasterCanvas marked(400, 300);
    DrawMessageListItem(marked, Rect{0, 0, 400, 300}, item, 0, 1, 0, &marks);
    RasterCanvas plain(400, 300);
    DrawMessageListItem(plain, Rect{0, 0, 400, 300}, item, 0, 1, 0);
    return marked.Count(RaceColors[2]) - plain.Count(RaceColors[2]);
  };
  EXPECT_EQ(extra(18, hit), 3 * 6 - 1);
  EXPECT_EQ(extra(19, hit), 0);
  EXPECT_EQ(extra(25, hit), 0);
  EXPECT_EQ(extra(1, skipped), 0);
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
