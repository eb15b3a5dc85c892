// The screen around a window: the work area of a monitor, and moving a
// dialog to a place that app/window_placement.h worked out.
#pragma once

#include <windows.h>

#include "app/canvas.h"

// The work area (the screen without the task bar) of the monitor at
// `point`, or of the nearest one.
Rect WorkAreaAt(POINT point);
// The outer rectangle of `window` in screen coordinates.
Rect WindowRect(HWND window);
// Moves `window` to `place` without changing its size or Z order.
void MoveWindowTo(HWND window, const Rect& place);
// Centres `dialog` over the window that owns it, all of it on the work area
// under the owner's middle; nothing without an owner.
void CenterOverOwner(HWND dialog);
