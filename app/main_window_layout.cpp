#include "app/main_window_layout.h"

bool ComputeMainWindowLayout(int width, int height, const Rect& window, const Rect& list,
                             MainWindowLayout* layout) {
  const int dx = list.left - window.left;
  const int dy = list.top - window.top;
  if (!(width > dx && height > dy)) return false;
  *layout = MainWindowLayout{width - dx, height - dy + 20, 4, height - 60, 4, height - 35};
  return true;
}
