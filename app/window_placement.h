// Where a dialog opens: at a point or over its owner, always inside the
// work area of the screen (the screen without the task bar), so that the
// user can reach all of it.
#pragma once

#include "app/canvas.h"

// A window of `width` x `height` with its top left corner at (x, y), moved
// left and up as far as it must to end inside `area`, but never beyond the
// area's left and top edges (a window larger than the area keeps those).
Rect PlaceAt(int x, int y, int width, int height, const Rect& area);

// A window of `width` x `height` centred over `owner`, kept inside `area`
// as PlaceAt keeps it.
Rect CenterOver(const Rect& owner, int width, int height, const Rect& area);
