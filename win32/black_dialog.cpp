#include "win32/black_dialog.h"

#include "app/colors.h"

bool BlackDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) {
  if (message != WM_CTLCOLORDLG && message != WM_CTLCOLORSTATIC && message != WM_CTLCOLOREDIT) {
    return false;
  }
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, kForeground);
  SetBkColor(dc, kBackground);
  *result = reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
  return true;
}
