#include "win32/gdi_canvas.h"

GdiCanvas::~GdiCanvas() {
  if (pen_ == nullptr) return;
  SelectObject(dc_, originalPen_);
  DeleteObject(pen_);
}

void GdiCanvas::SetPen(Color color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ previous = SelectObject(dc_, pen);
  if (pen_ == nullptr) {
    originalPen_ = previous;
  } else {
    DeleteObject(pen_);
  }
  pen_ = pen;
}

void GdiCanvas::SetTextColor(Color color) { ::SetTextColor(dc_, color); }

void GdiCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void GdiCanvas::LineTo(int x, int y) { ::LineTo(dc_, x, y); }

void GdiCanvas::FillRect(const Rect& rect, Color color) {
  const RECT r{rect.left, rect.top, rect.right, rect.bottom};
  HBRUSH brush = CreateSolidBrush(color);
  ::FillRect(dc_, &r, brush);
  DeleteObject(brush);
}
