#include "app/control_drawing.h"

#include <gtest/gtest.h>

#include <string>

#include "app/raster_canvas.h"
#include "app/stroke_font.h"

namespace {

TEST(ButtonFace, NormalPushedAndDisabled) {
  const Rect item{0, 0, 60, 20};
  RasterCanvas normal(60, 20);
  DrawButtonFace(normal, item, "OK", false, false);
  EXPECT_EQ(normal.Pixel(0, 0), kForeground);    // outline
  EXPECT_EQ(normal.Pixel(59, 19), kForeground);
  EXPECT_EQ(normal.Pixel(30, 2), kBackground);
  // The caption is centred: 12 pixels wide from 30 - 6, its top at 10 - 4.
  EXPECT_EQ(normal.Pixel(24, 6), kForeground);  // O's top left
  EXPECT_EQ(normal.Pixel(23, 6), kBackground);

  RasterCanvas pushed(60, 20);
  DrawButtonFace(pushed, item, "OK", true, false);
  EXPECT_EQ(pushed.Pixel(30, 2), kForeground);  // cyan block
  EXPECT_EQ(pushed.Pixel(0, 0), kBackground);   // black outline
  EXPECT_EQ(pushed.Pixel(24, 6), kBackground);  // black caption

  RasterCanvas disabled(60, 20);
  DrawButtonFace(disabled, item, "OK", false, true);
  EXPECT_EQ(disabled.Pixel(0, 0), kDisabled);
  EXPECT_EQ(disabled.Pixel(24, 6), kDisabled);
  EXPECT_EQ(disabled.Pixel(30, 2), kBackground);
}

TEST(ButtonFace, TheFocusedButtonShowsADottedRectangle) {
  const Rect item{0, 0, 60, 20};
  RasterCanvas plain(60, 20);
  DrawButtonFace(plain, item, "OK", false, false);
  RasterCanvas focused(60, 20);
  DrawButtonFace(focused, item, "OK", false, false, true);
  // Every other pixel of a rectangle 2 pixels inside the outline.
  for (const auto& [x, y] : {std::pair{2, 2}, {4, 2}, {57, 2}, {2, 17}, {56, 17}, {2, 10}, {57, 10}}) {
    EXPECT_EQ(focused.Pixel(x, y), kForeground) << x << "," << y;
    EXPECT_EQ(plain.Pixel(x, y), kBackground) << x << "," << y;
  }
  EXPECT_EQ(focused.Pixel(3, 2), kBackground);  // dotted, not solid
  EXPECT_EQ(focused.Pixel(1, 1), kBackground);  // apart from the outline
  EXPECT_EQ(focused.Pixel(24, 6), kForeground);  // the caption stays

  RasterCanvas pushed(60, 20);
  DrawButtonFace(pushed, item, "OK", true, false, true);
  EXPECT_EQ(pushed.Pixel(2, 2), kBackground);  // in the pushed button's line colour
  EXPECT_EQ(pushed.Pixel(3, 2), kForeground);

  RasterCanvas disabled(60, 20);
  DrawButtonFace(disabled, item, "OK", false, true, true);
  EXPECT_EQ(disabled.Pixel(2, 2), kBackground);  // a disabled button has no focus to show
}

// A long caption shows its first 99 characters only, centred as a caption
// of 99 characters is.
TEST(ButtonFace, LongCaptionsAreCut) {
  const auto face = [](size_t length) {
    const Rect item{0, 0, 700, 20};
    RasterCanvas canvas(700, 20);
    DrawButtonFace(canvas, item, std::string(length, 'X'), false, false);
    return canvas.Art(item);
  };
  const std::string cut = face(99);
  EXPECT_EQ(face(100), cut);
  EXPECT_EQ(face(250), cut);
  EXPECT_NE(face(98), cut);
}

TEST(CheckBox, ASquareCrossedWhileCheckedAndTheCaptionBeside) {
  const Rect item{0, 0, 80, 15};  // the square from (0, 3) to (8, 11)
  RasterCanvas unchecked(80, 15);
  DrawCheckBox(unchecked, item, "ignore case", false, false);
  RasterCanvas checked(80, 15);
  DrawCheckBox(checked, item, "ignore case", true, false);
  for (const RasterCanvas* canvas : {&unchecked, &checked}) {
    EXPECT_EQ(canvas->Pixel(0, 3), kForeground);
    EXPECT_EQ(canvas->Pixel(8, 11), kForeground);
    EXPECT_EQ(canvas->Pixel(9, 11), kBackground);
    EXPECT_EQ(canvas->Pixel(13 + 2, 15 / 2 - 4), kForeground);  // the I of the caption
  }
  EXPECT_EQ(unchecked.Pixel(4, 7), kBackground);
  for (int d = 2; d <= 6; ++d) {  // both diagonals, end points included
    EXPECT_EQ(checked.Pixel(d, 3 + d), kForeground) << d;
    EXPECT_EQ(checked.Pixel(8 - d, 3 + d), kForeground) << d;
  }
  EXPECT_EQ(checked.Pixel(1, 4), kBackground);
  EXPECT_EQ(checked.Count(kForeground) - unchecked.Count(kForeground), 9);

  RasterCanvas disabled(80, 15);
  DrawCheckBox(disabled, item, "ignore case", true, true, true);
  EXPECT_EQ(disabled.Count(kForeground), 0);
  EXPECT_EQ(disabled.Count(kDisabled), checked.Count(kForeground));  // and no focus

  RasterCanvas focused(80, 15);
  DrawCheckBox(focused, item, "ignore case", false, false, true);
  EXPECT_GT(focused.Count(kForeground), unchecked.Count(kForeground));
  EXPECT_EQ(focused.Pixel(11, 15 / 2 - 6), kForeground);  // the dotted frame's corner
}

TEST(Label, DisabledLabelsAreHalfBright) {
  EXPECT_EQ(LabelColor(kForeground, true), kForeground);
  EXPECT_EQ(LabelColor(kForeground, false), Rgb(0, 110, 110));
  RasterCanvas canvas(100, 20);
  canvas.FillRect(Rect{0, 0, 100, 20}, 0x123456);
  DrawLabel(canvas, Rect{0, 0, 100, 20}, "XXXX", 1, 1, LabelColor(kForeground, false));
  EXPECT_EQ(canvas.Pixel(99, 19), kBackground);  // filled black
  // Left-aligned, vertically centred: from 20 / 2 - 5 down.
  const Rect text = canvas.Bounds();
  EXPECT_EQ(text.left, 0);
  EXPECT_EQ(text.top, 5);
  EXPECT_EQ(text.Height(), 9);  // grid rows 0 to 4 at scale 1
  EXPECT_EQ(canvas.Pixel(0, 5), Rgb(0, 110, 110));
}

TEST(ListItemColors, ByState) {
  const Color race = 0x00FF7FFF;
  EXPECT_EQ(ListItemColors(0, race).pen, race);
  EXPECT_EQ(ListItemColors(0, race).fill, kBackground);
  EXPECT_EQ(ListItemColors(kOdsSelected, race).pen, kBackground);
  EXPECT_EQ(ListItemColors(kOdsSelected, race).fill, race);
  EXPECT_EQ(ListItemColors(kOdsSelected | kOdsDisabled, race).pen, kDisabled);
  EXPECT_EQ(ListItemColors(kOdsSelected | kOdsDisabled, race).fill, kBackground);
}

}  // namespace
