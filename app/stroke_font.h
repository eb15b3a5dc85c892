// StrokeFont: the program's own line-drawn font. Glyphs lie on a 5 x 5 grid
// of points and are drawn as pen strokes; scale exponents sx and sy turn a
// grid coordinate g into g << sx pixels across and g << sy pixels down.
// Texts are code page 1252: 32 to 122 and the German letters have glyphs;
// every other character draws nothing but takes its cell.
#pragma once

#include "app/canvas.h"

// Draws `text` with the canvas's pen, the first glyph's top left corner at
// (x, y); each character advances 6 << sx pixels. A null text draws
// nothing.
void DrawStrokeText(Canvas& canvas, const char* text, int x, int y, int sx, int sy);

// n x (6 << s) pixels for a text of n characters; 0 for a null text.
int StrokeTextWidth(const char* text, int s);
// 5 << s pixels.
inline int GlyphHeight(int s) { return 5 << s; }
// 1 << s pixels.
inline int GlyphUnit(int s) { return 1 << s; }
