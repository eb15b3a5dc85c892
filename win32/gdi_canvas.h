// A Canvas on a GDI device context. Owns the pens and brushes it makes and
// gives the device context its own pen back when it goes.
#pragma once

#include <windows.h>

#include "app/canvas.h"

class GdiCanvas : public Canvas {
 public:
  // `dc` must outlive the canvas.
  explicit GdiCanvas(HDC dc) : dc_(dc) {}
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void SetPen(Color color) override;
  void SetTextColor(Color color) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void FillRect(const Rect& rect, Color color) override;

 private:
  HDC dc_;
  HPEN pen_ = nullptr;
  HGDIOBJ originalPen_ = nullptr;
};

// RECT and Rect.
inline Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
