#include "win32/owner_draw_controls.h"

#include "app/control_drawing.h"
#include "win32/dialog.h"
#include "win32/gdi_canvas.h"
#include "win32/wide_text.h"

namespace {

// A label takes at most this many characters of its window's text.
constexpr int kLongestLabelText = 999;

std::string windowText(HWND window, int longest) {
  std::wstring text(static_cast<size_t>(longest) + 1, L'\0');
  const int length = GetWindowTextW(window, &text[0], longest + 1);
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  return FromWide(text);
}

// Replaces a control's window procedure by `proc`, which finds `object`
// in the window's user data (read without a trip to the window server, as
// properties would need); returns the original procedure.
WNDPROC subclass(HWND window, WNDPROC proc, void* object) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

template <class T>
T* objectOf(HWND window) {
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

uint32_t itemState(const DRAWITEMSTRUCT& draw) {
  uint32_t state = 0;
  if (draw.itemState & ODS_SELECTED) state |= kOdsSelected;
  if (draw.itemState & ODS_DISABLED) state |= kOdsDisabled;
  return state;
}

}  // namespace

void OwnerDrawButton::DrawItem(const DRAWITEMSTRUCT& draw) {
  const bool pushed = (SendMessageW(draw.hwndItem, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  const bool disabled = (draw.itemState & ODS_DISABLED) != 0;
  const bool focused = (draw.itemState & ODS_FOCUS) != 0;
  GdiCanvas canvas(draw.hDC);
  DrawButtonFace(canvas, ToRect(draw.rcItem), windowText(draw.hwndItem, kLongestButtonCaption),
                 pushed, disabled, focused);
}

void OwnerDrawCheckBox::SetChecked(bool checked) {
  checked_ = checked;
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void OwnerDrawCheckBox::DrawItem(const DRAWITEMSTRUCT& draw) {
  GdiCanvas canvas(draw.hDC);
  DrawCheckBox(canvas, ToRect(draw.rcItem), windowText(draw.hwndItem, kLongestButtonCaption),
               checked_, (draw.itemState & ODS_DISABLED) != 0, (draw.itemState & ODS_FOCUS) != 0);
}

void OwnerDrawStatic::Attach(HWND window) {
  window_ = window;
  original_ = subclass(window, Proc, this);
}

void OwnerDrawStatic::SetText(const std::string& text) {
  caption_ = text;
  if (window_ == nullptr) return;
  SetWindowTextW(window_, ToWide(text).c_str());
  Redraw();
}

void OwnerDrawStatic::SetScale(int sx, int sy) {
  sx_ = sx;
  sy_ = sy;
  if (window_) Redraw();
}

void OwnerDrawStatic::SetTextColor(Color color) {
  color_ = color;
  if (window_) Redraw();
}

void OwnerDrawStatic::Redraw() const {
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void OwnerDrawStatic::Paint() {
  if (caption_.empty()) {
    caption_ = windowText(window_, kLongestLabelText);
    if (!caption_.empty()) Redraw();
  }
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT client;
  GetClientRect(window_, &client);
  GdiCanvas canvas(dc);
  DrawLabel(canvas, ToRect(client), caption_, sx_, sy_,
            LabelColor(color_, IsWindowEnabled(window_) != FALSE));
  EndPaint(window_, &paint);
}

LRESULT CALLBACK OwnerDrawStatic::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = objectOf<OwnerDrawStatic>(window);
  return GuardCallback(GetParent(window), [&] { return self->Handle(message, wParam, lParam); }, 0);
}

LRESULT OwnerDrawStatic::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint fills the whole label
    case WM_ENABLE: {
      const LRESULT result = CallWindowProcW(original_, window_, message, wParam, lParam);
      Redraw();
      return result;
    }
    default:
      return CallWindowProcW(original_, window_, message, wParam, lParam);
  }
}

void OwnerDrawList::Attach(HWND window) {
  window_ = window;
  original_ = subclass(window, Proc, this);
}

LRESULT CALLBACK OwnerDrawList::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = objectOf<OwnerDrawList>(window);
  return GuardCallback(GetParent(window), [&] { return self->Handle(message, wParam, lParam); }, 0);
}

LRESULT OwnerDrawList::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(window_, &client);
    GdiCanvas canvas(reinterpret_cast<HDC>(wParam));
    canvas.FillRect(ToRect(client), kBackground);
    return 1;
  }
  return CallWindowProcW(original_, window_, message, wParam, lParam);
}

void ColorListBox::AddItem(const std::string& text, Color color, int32_t scale) {
  items_.push_back(ColorListItem{text, color, scale});
  SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L""));
  SendMessageW(window_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ColorListExtent(items_.back())), 0);
}

void ColorListBox::DrawItem(const DRAWITEMSTRUCT& draw) {
  if (draw.itemID >= items_.size()) return;
  GdiCanvas canvas(draw.hDC);
  DrawColorListItem(canvas, ToRect(draw.rcItem), items_[draw.itemID], itemState(draw));
}

void ColorListBox::MeasureItem(MEASUREITEMSTRUCT& measure) {
  if (measure.itemID < items_.size()) {
    measure.itemHeight = static_cast<UINT>(ColorListItemHeight(items_[measure.itemID].scale));
  }
}

void MessageListBox::RemoveAll() {
  items_.clear();
  SendMessageW(window_, LB_RESETCONTENT, 0, 0);
}

void MessageListBox::Fill(const std::vector<MessageListItem>& items) {
  SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  RemoveAll();
  items_.reserve(items.size());
  SendMessageW(window_, LB_INITSTORAGE, items.size(), 0);
  for (const MessageListItem& item : items) {
    items_.push_back(item);
    SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L""));
  }
  if (!items.empty()) {
    SendMessageW(window_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(items.back().extent), 0);
  }
  // New contents start at their left edge, wherever the old ones were
  // scrolled to.
  SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
  SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window_, nullptr, TRUE);
}

int32_t MessageListBox::SelectedId() const {
  const LRESULT selection = SendMessageW(window_, LB_GETCURSEL, 0, 0);
  if (selection < 0 || static_cast<size_t>(selection) >= items_.size()) return -1;
  return items_[static_cast<size_t>(selection)].id;
}

void MessageListBox::DrawItem(const DRAWITEMSTRUCT& draw) {
  if (draw.itemID >= items_.size()) return;
  GdiCanvas canvas(draw.hDC);
  DrawMessageListItem(canvas, ToRect(draw.rcItem), items_[draw.itemID],
                      static_cast<int>(draw.itemID), static_cast<int>(items_.size()), itemState(draw),
                      marks_.get());
}

void MessageListBox::SetMarks(std::shared_ptr<const TextMatcher> marks) {
  marks_ = std::move(marks);
  if (window_) InvalidateRect(window_, nullptr, TRUE);
}

void MessageListBox::MeasureItem(MEASUREITEMSTRUCT& measure) {
  if (measure.itemID < items_.size()) {
    measure.itemHeight = static_cast<UINT>(items_[measure.itemID].height);
  }
}
