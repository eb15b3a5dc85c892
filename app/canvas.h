// The surface every control of the program draws on: lines with a 1-pixel
// pen and filled rectangles, nothing else. Lines follow the platform's rule
// that a line leaves out its last pixel. GdiCanvas (win32/) draws on a
// window, RasterCanvas on pixels in memory.
#pragma once

#include <cstdint>

// A colour as the platform keeps it: 0x00BBGGRR.
using Color = uint32_t;

inline constexpr Color Rgb(int red, int green, int blue) {
  return static_cast<Color>(red) | (static_cast<Color>(green) << 8) |
         (static_cast<Color>(blue) << 16);
}

// A rectangle of pixels: left and top inside, right and bottom outside.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // The pen of the following lines: solid, 1 pixel wide.
  virtual void SetPen(Color color) = 0;
  // The colour of the platform's own text (kept for its controls).
  virtual void SetTextColor(Color color) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // A line from the current point to (x, y) without the pixel at (x, y),
  // which becomes the current point.
  virtual void LineTo(int x, int y) = 0;
  virtual void FillRect(const Rect& rect, Color color) = 0;
};
