#include "app/control_drawing.h"

#include "app/stroke_font.h"

namespace {

// A line of text: the glyphs and the gap below them.
constexpr int kLineGap = 4;
// A label's text starts this far above the middle of the label.
constexpr int kLabelAboveMiddle = 5;

void outline(Canvas& canvas, const Rect& r) {
  canvas.MoveTo(r.left, r.top);
  canvas.LineTo(r.right - 1, r.top);
  canvas.LineTo(r.right - 1, r.bottom - 1);
  canvas.LineTo(r.left, r.bottom - 1);
  canvas.LineTo(r.left, r.top);
}

// Every other pixel of the outline of `r`, starting at its top left.
void dottedOutline(Canvas& canvas, const Rect& r, Color color) {
  const auto dot = [&](int x, int y) { canvas.FillRect(Rect{x, y, x + 1, y + 1}, color); };
  for (int x = r.left; x < r.right; x += 2) {
    dot(x, r.top);
    dot(x, r.bottom - 1);
  }
  for (int y = r.top; y < r.bottom; y += 2) {
    dot(r.left, y);
    dot(r.right - 1, y);
  }
}

}  // namespace

void DrawButtonFace(Canvas& canvas, const Rect& item, const std::string& caption, bool pushed,
                    bool disabled, bool focused) {
  const Color pen = disabled ? kDisabled : (pushed ? kBackground : kForeground);
  canvas.FillRect(item, pushed ? kForeground : kBackground);
  canvas.SetPen(pen);
  outline(canvas, item);
  const Rect inner{item.left + kFocusInset, item.top + kFocusInset, item.right - kFocusInset,
                   item.bottom - kFocusInset};
  if (focused && !disabled && inner.Width() > 0 && inner.Height() > 0) {
    dottedOutline(canvas, inner, pen);
  }
  const std::string shown = caption.substr(0, kLongestButtonCaption);
  const int x = item.left + item.Width() / 2 - StrokeTextWidth(shown.c_str(), 0) / 2;
  const int y = item.top + item.Height() / 2 - (GlyphHeight(0) + kLineGap) / 2;
  DrawStrokeText(canvas, shown.c_str(), x, y, 0, 0);
}

void DrawCheckBox(Canvas& canvas, const Rect& item, const std::string& caption, bool checked,
                  bool disabled, bool focused) {
  const Color pen = disabled ? kDisabled : kForeground;
  canvas.FillRect(item, kBackground);
  canvas.SetPen(pen);
  const int top = item.top + (item.Height() - kCheckSize) / 2;
  const Rect box{item.left, top, item.left + kCheckSize, top + kCheckSize};
  outline(canvas, box);
  if (checked) {
    // A cross two pixels inside the square; the end points are drawn too.
    canvas.MoveTo(box.left + 2, box.top + 2);
    canvas.LineTo(box.right - 2, box.bottom - 2);
    canvas.MoveTo(box.right - 3, box.top + 2);
    canvas.LineTo(box.left + 1, box.bottom - 2);
  }
  const std::string shown = caption.substr(0, kLongestButtonCaption);
  const int x = box.right + 4;
  const int y = item.top + item.Height() / 2 - (GlyphHeight(0) + kLineGap) / 2;
  DrawStrokeText(canvas, shown.c_str(), x, y, 0, 0);
  if (focused && !disabled) {
    const Rect around{x - 2, y - 2, x + StrokeTextWidth(shown.c_str(), 0) + 1, y + GlyphHeight(0) + 2};
    dottedOutline(canvas, around, pen);
  }
}

Color LabelColor(Color color, bool enabled) {
  return enabled ? color : (color >> 1) & 0x007F7F7F;
}

void DrawLabel(Canvas& canvas, const Rect& client, const std::string& caption, int sx, int sy,
               Color color) {
  canvas.SetPen(color);
  canvas.FillRect(client, kBackground);
  const int top = client.top + client.Height() / 2 - kLabelAboveMiddle;
  DrawStrokeText(canvas, caption.c_str(), client.left, top, sx, sy);
}

ItemColors ListItemColors(uint32_t state, Color color) {
  if (state & kOdsDisabled) return {kDisabled, kBackground};
  if (state & kOdsSelected) return {kBackground, color};
  return {color, kBackground};
}
