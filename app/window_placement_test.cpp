#include "app/window_placement.h"

#include <gtest/gtest.h>

#include "app/main_window_layout.h"

namespace {

bool inside(const Rect& r, const Rect& area) {
  return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

TEST(PlaceAt, StaysWhereItFitsAndMovesBackFromTheEdges) {
  const Rect screen{0, 0, 1024, 738};  // a 1024 x 768 screen less its task bar
  const Rect here = PlaceAt(100, 200, 180, 190, screen);
  EXPECT_EQ(here.left, 100);
  EXPECT_EQ(here.top, 200);
  EXPECT_EQ(here.Width(), 180);
  EXPECT_EQ(here.Height(), 190);

  // Near the bottom right corner: moved back just far enough.
  const Rect corner = PlaceAt(1010, 750, 180, 190, screen);
  EXPECT_TRUE(inside(corner, screen));
  EXPECT_EQ(corner.right, 1024);
  EXPECT_EQ(corner.bottom, 738);

  // A second monitor to the left with negative coordinates.
  const Rect left{-1280, 0, 0, 1024};
  EXPECT_TRUE(inside(PlaceAt(-10, 1000, 180, 190, left), left));
  // Before the area's top left: moved forward.
  const Rect early = PlaceAt(-50, -20, 180, 190, screen);
  EXPECT_EQ(early.left, 0);
  EXPECT_EQ(early.top, 0);
  // Larger than the area: its top left stays reachable.
  const Rect huge = PlaceAt(300, 300, 2000, 1000, screen);
  EXPECT_EQ(huge.left, 0);
  EXPECT_EQ(huge.top, 0);
}

TEST(CenterOver, CentresOverTheOwnerInsideTheArea) {
  const Rect screen{0, 0, 1024, 738};
  const Rect centred = CenterOver(Rect{100, 100, 700, 500}, 300, 200, screen);
  EXPECT_EQ(centred.left, 250);
  EXPECT_EQ(centred.top, 200);
  const Rect owner{900, 600, 1400, 900};  // partly off the screen
  EXPECT_TRUE(inside(CenterOver(owner, 300, 200, screen), screen));
}

TEST(MinimumClientSize, KeepsAboutBelowTheLowestButtonAndAListBesideTheColumn) {
  const ClientSize minimum = MinimumClientSize(230, 117);
  EXPECT_EQ(minimum.width, 117 + kMinimumListWidth);
  // At the minimum height "About", 60 pixels above the bottom, starts below
  // the lowest other button.
  MainWindowLayout layout{};
  ASSERT_TRUE(ComputeMainWindowLayout(minimum.width, minimum.height, Rect{0, 0, 500, 400},
                                      Rect{117, 63, 400, 400}, &layout));
  EXPECT_GT(layout.aboutY, 230);
  EXPECT_LE(layout.aboutY, 230 + 8);
}

}  // namespace
