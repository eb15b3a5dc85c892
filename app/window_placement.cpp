#include "app/window_placement.h"

#include <algorithm>

namespace {

// The start of a span of `length` that begins at `start`, moved back to end
// by `end` and then forward to begin at `first` or later.
int within(int start, int length, int first, int end) {
  return std::max(first, std::min(start, end - length));
}

}  // namespace

Rect PlaceAt(int x, int y, int width, int height, const Rect& area) {
  const int left = within(x, width, area.left, area.right);
  const int top = within(y, height, area.top, area.bottom);
  return Rect{left, top, left + width, top + height};
}

Rect CenterOver(const Rect& owner, int width, int height, const Rect& area) {
  return PlaceAt(owner.left + (owner.Width() - width) / 2, owner.top + (owner.Height() - height) / 2,
                 width, height, area);
}
