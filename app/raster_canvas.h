// RasterCanvas: a Canvas on pixels in memory, drawing as the platform does
// (lines by Bresenham's rule, without their last pixel). Tests look at its
// pixels; it also renders pictures of the controls without a window.
#pragma once

#include <string>
#include <vector>

#include "app/canvas.h"

class RasterCanvas : public Canvas {
 public:
  // A black picture of width x height pixels.
  RasterCanvas(int width, int height);

  void SetPen(Color color) override { pen_ = color; }
  // The platform's own text is never drawn here: nothing to keep.
  void SetTextColor(Color /*color*/) override {}
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void FillRect(const Rect& rect, Color color) override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The pixel at (x, y); black outside the picture.
  Color Pixel(int x, int y) const;
  // The smallest rectangle holding every pixel that is not `background`;
  // empty (all zero) when there is none.
  Rect Bounds(Color background = 0) const;
  // Pixels that are `color`.
  int Count(Color color) const;
  // The picture as rows of characters: '.' for `background`, '#' else.
  std::string Art(const Rect& area, Color background = 0) const;

 private:
  void Plot(int x, int y);

  int width_;
  int height_;
  std::vector<Color> pixels_;
  Color pen_ = 0;
  int x_ = 0;
  int y_ = 0;
};
