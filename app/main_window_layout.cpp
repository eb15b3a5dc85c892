#include "app/main_window_layout.h"

namespace {

// The tops of "About" and "Quit", this far above the bottom edge.
constexpr int kAboutAboveBottom = 60;
constexpr int kQuitAboveBottom = 35;
// Their left edge.
constexpr int kBottomButtonsLeft = 4;
// The list reaches this far below the client area's bottom edge.
constexpr int kListBelowBottom = 20;
// Room kept between the lowest other button and "About".
constexpr int kGapAboveAbout = 4;

}  // namespace

bool ComputeMainWindowLayout(int width, int height, const Rect& window, const Rect& list,
                             MainWindowLayout* layout) {
  const int dx = list.left - window.left;
  const int dy = list.top - window.top;
  if (!(width > dx && height > dy)) return false;
  *layout = MainWindowLayout{width - dx,         height - dy + kListBelowBottom,
                             kBottomButtonsLeft, height - kAboutAboveBottom,
                             kBottomButtonsLeft, height - kQuitAboveBottom};
  return true;
}

ClientSize MinimumClientSize(int lowestButtonBottom, int listLeft) {
  return ClientSize{listLeft + kMinimumListWidth,
                    lowestButtonBottom + kGapAboveAbout + kAboutAboveBottom};
}
