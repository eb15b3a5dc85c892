#include "win32/screen_area.h"

#include "app/window_placement.h"
#include "win32/gdi_canvas.h"

Rect WorkAreaAt(POINT point) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return ToRect(monitor.rcWork);
  }
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return ToRect(work);
}

Rect WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return ToRect(r);
}

void MoveWindowTo(HWND window, const Rect& place) {
  SetWindowPos(window, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CenterOverOwner(HWND dialog) {
  HWND owner = GetParent(dialog);
  if (owner == nullptr) return;
  const Rect over = WindowRect(owner);
  const Rect size = WindowRect(dialog);
  const POINT middle{(over.left + over.right) / 2, (over.top + over.bottom) / 2};
  MoveWindowTo(dialog, CenterOver(over, size.Width(), size.Height(), WorkAreaAt(middle)));
}
