// Where the main window's controls go when the window changes its size: the
// message list grows with the window, "About" and "Quit" keep their distance
// from its bottom edge.
#pragma once

#include "app/canvas.h"

struct MainWindowLayout {
  int listWidth;
  int listHeight;
  int aboutX, aboutY;
  int quitX, quitY;
};

// The layout for a client area of `width` x `height` pixels; `window` and
// `list` are the outer rectangles of the main window and of the list in
// screen coordinates (the list's all zero when it does not exist yet).
// False, leaving `layout` alone, when the client area is not larger than
// the list's offset from the window's corner: then nothing moves.
bool ComputeMainWindowLayout(int width, int height, const Rect& window, const Rect& list,
                             MainWindowLayout* layout);

// The smallest client area of the main window: "About" and "Quit", which
// keep their distance from the bottom edge, stay below the lowest of the
// other buttons (whose bottom edge is `lowestButtonBottom` pixels from the
// top of the client area), and the list, which starts `listLeft` pixels
// from the left, keeps kMinimumListWidth pixels.
struct ClientSize {
  int width;
  int height;
};
inline constexpr int kMinimumListWidth = 120;
ClientSize MinimumClientSize(int lowestButtonBottom, int listLeft);
