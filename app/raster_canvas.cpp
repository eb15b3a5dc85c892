#include "app/raster_canvas.h"

#include <algorithm>
#include <cstdlib>

RasterCanvas::RasterCanvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, 0) {}

void RasterCanvas::MoveTo(int x, int y) {
  x_ = x;
  y_ = y;
}

void RasterCanvas::LineTo(int x, int y) {
  // Bresenham's line from the current point, stopping before (x, y).
  const int dx = std::abs(x - x_);
  const int dy = -std::abs(y - y_);
  const int stepX = x_ < x ? 1 : -1;
  const int stepY = y_ < y ? 1 : -1;
  int error = dx + dy;
  int px = x_;
  int py = y_;
  while (px != x || py != y) {
    Plot(px, py);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      px += stepX;
    }
    if (twice <= dx) {
      error += dx;
      py += stepY;
    }
  }
  x_ = x;
  y_ = y;
}

void RasterCanvas::FillRect(const Rect& rect, Color color) {
  for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, height_); ++y) {
    for (int x = std::max(rect.left, 0); x < std::min(rect.right, width_); ++x) {
      pixels_[static_cast<size_t>(y) * width_ + x] = color;
    }
  }
}

void RasterCanvas::Plot(int x, int y) {
  if (x >= 0 && x < width_ && y >= 0 && y < height_) pixels_[static_cast<size_t>(y) * width_ + x] = pen_;
}

Color RasterCanvas::Pixel(int x, int y) const {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) return 0;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

Rect RasterCanvas::Bounds(Color background) const {
  Rect bounds{width_, height_, 0, 0};
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (Pixel(x, y) == background) continue;
      bounds.left = std::min(bounds.left, x);
      bounds.top = std::min(bounds.top, y);
      bounds.right = std::max(bounds.right, x + 1);
      bounds.bottom = std::max(bounds.bottom, y + 1);
    }
  }
  return bounds.right == 0 ? Rect{} : bounds;
}

int RasterCanvas::Count(Color color) const {
  return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), color));
}

std::string RasterCanvas::Art(const Rect& area, Color background) const {
  std::string art;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) art += Pixel(x, y) == background ? '.' : '#';
    art += '\n';
  }
  return art;
}
