#include "app/stroke_font.h"

#include <gtest/gtest.h>

#include "app/raster_canvas.h"

namespace {

constexpr Color kPen = 0x00DDDD00;

RasterCanvas drawn(const char* text, int x, int y, int sx, int sy) {
  RasterCanvas canvas(200, 40);
  canvas.SetPen(kPen);
  DrawStrokeText(canvas, text, x, y, sx, sy);
  return canvas;
}

std::string glyphArt(const char* text) {
  return drawn(text, 0, 0, 0, 0).Art(Rect{0, 0, 5, 5});
}

TEST(StrokeFont, Measures) {
  EXPECT_EQ(StrokeTextWidth("HHHH", 0), 24);
  EXPECT_EQ(StrokeTextWidth("HHHH", 1), 48);
  EXPECT_EQ(GlyphHeight(0), 5);
  EXPECT_EQ(GlyphHeight(1), 10);
  EXPECT_EQ(GlyphUnit(1), 2);
  EXPECT_EQ(StrokeTextWidth(nullptr, 0), 0);

  // The drawing stays inside those measures, 24 x 5 and 48 x 10: grid
  // points 0 to 4 become pixels 0 to 4, or 0 to 8 at scale 1.
  const Rect small = drawn("HHHH", 10, 10, 0, 0).Bounds();
  EXPECT_EQ(small.left, 10);
  EXPECT_EQ(small.right, 10 + 18 + 5);
  EXPECT_EQ(small.Height(), 5);
  const Rect large = drawn("HHHH", 10, 10, 1, 1).Bounds();
  EXPECT_EQ(large.right, 10 + 36 + 9);
  EXPECT_EQ(large.Height(), 9);
}

TEST(StrokeFont, LinesIncludeTheirEndPointAndDotsAreOnePixel) {
  // T's bar is the line 0,0-4,0: from (10, 10) it covers pixels 10 to 14.
  const RasterCanvas t = drawn("T", 10, 10, 0, 0);
  EXPECT_EQ(t.Pixel(9, 10), 0u);
  for (int x = 10; x <= 14; ++x) EXPECT_EQ(t.Pixel(x, 10), kPen) << x;
  EXPECT_EQ(t.Pixel(15, 10), 0u);

  EXPECT_EQ(drawn(".", 3, 3, 0, 0).Count(kPen), 1);
  EXPECT_EQ(drawn(".", 3, 3, 1, 1).Count(kPen), 1);
  EXPECT_EQ(drawn(".", 3, 3, 1, 1).Bounds().left, 3 + (2 << 1));
}

TEST(StrokeFont, GermanLettersHaveTheirGlyphs) {
  EXPECT_EQ(glyphArt("\xE4"),
            ".#.#.\n"
            "#####\n"
            "#####\n"
            "#...#\n"
            "#...#\n");
  EXPECT_EQ(glyphArt("\xD6"),
            ".#.#.\n"
            "#####\n"
            "#...#\n"
            "#...#\n"
            "#####\n");
  EXPECT_EQ(glyphArt("\xDF"),
            "###..\n"
            "#..#.\n"
            "#.##.\n"
            "#..#.\n"
            "#.#..\n");
}

TEST(StrokeFont, LettersAndCharactersWithoutGlyphs) {
  EXPECT_EQ(drawn("vandor", 0, 0, 0, 0).Art(Rect{0, 0, 36, 5}),
            drawn("VANDOR", 0, 0, 0, 0).Art(Rect{0, 0, 36, 5}));
  EXPECT_EQ(drawn("&{\x80", 0, 0, 0, 0).Count(kPen), 0);
  EXPECT_EQ(drawn("&{A", 0, 0, 0, 0).Bounds().left, 12);  // both took their cell
  EXPECT_EQ(StrokeTextWidth("&{", 0), 12);
  EXPECT_EQ(glyphArt("0"),
            "#####\n"
            "#..##\n"
            "#.#.#\n"
            "##..#\n"
            "#####\n");
}

}  // namespace
