// The program's own controls: push buttons, labels and lists drawn in the
// stroke font, cyan on black (the drawing itself is in app/). Each is a
// member of its dialog, bound to its control window by id. The dialog, and
// the window of a label or list, keep the control's address: controls are
// neither copied nor moved.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/colors.h"
#include "app/list_drawing.h"
#include "app/message_list_item.h"

// A control whose items its dialog draws (WM_DRAWITEM, WM_MEASUREITEM).
class OwnerDrawControl {
 public:
  OwnerDrawControl() = default;
  virtual ~OwnerDrawControl() = default;
  OwnerDrawControl(const OwnerDrawControl&) = delete;
  OwnerDrawControl& operator=(const OwnerDrawControl&) = delete;
  virtual void DrawItem(const DRAWITEMSTRUCT& /*draw*/) {}
  virtual void MeasureItem(MEASUREITEMSTRUCT& /*measure*/) {}
};

// A BS_OWNERDRAW push button.
class OwnerDrawButton : public OwnerDrawControl {
 public:
  void DrawItem(const DRAWITEMSTRUCT& draw) override;
};

// A BS_OWNERDRAW button that is a check box: a click (or the space bar)
// comes to its dialog as BN_CLICKED, which calls Toggle.
class OwnerDrawCheckBox : public OwnerDrawControl {
 public:
  void Attach(HWND window) { window_ = window; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Toggle() { SetChecked(!checked_); }
  void DrawItem(const DRAWITEMSTRUCT& draw) override;

 private:
  HWND window_ = nullptr;
  bool checked_ = false;
};

// A label painted by the program. Attach binds it to its static control.
class OwnerDrawStatic {
 public:
  OwnerDrawStatic() = default;
  OwnerDrawStatic(const OwnerDrawStatic&) = delete;
  OwnerDrawStatic& operator=(const OwnerDrawStatic&) = delete;

  void Attach(HWND window);
  // Shows `text` (also as the window's own text) and redraws.
  void SetText(const std::string& text);
  void SetScale(int sx, int sy);
  void SetTextColor(Color color);
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void Redraw() const;

  HWND window_ = nullptr;
  WNDPROC original_ = nullptr;
  std::string caption_;
  int sx_ = 1;
  int sy_ = 1;
  Color color_ = kForeground;
};

// Shared by both lists: a list box whose background the program paints.
class OwnerDrawList : public OwnerDrawControl {
 public:
  // Binds the list to its window (for its background); call once the
  // dialog's controls exist.
  void Attach(HWND window);
  HWND Handle() const { return window_; }

 protected:
  HWND window_ = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};

// The chooser's list: texts in colours.
class ColorListBox : public OwnerDrawList {
 public:
  void AddItem(const std::string& text, Color color, int32_t scale);
  const std::vector<ColorListItem>& Items() const { return items_; }
  void DrawItem(const DRAWITEMSTRUCT& draw) override;
  void MeasureItem(MEASUREITEMSTRUCT& measure) override;

 private:
  std::vector<ColorListItem> items_;
};

// The main window's message list.
class MessageListBox : public OwnerDrawList {
 public:
  void RemoveAll();
  // Replaces every item by `items`, with the list's redraw off and its
  // storage made ready for all of them at once.
  void Fill(const std::vector<MessageListItem>& items);
  // The id of the selected item, or -1.
  int32_t SelectedId() const;
  // What the items' lines underline from now on (null: nothing); redraws.
  void SetMarks(std::shared_ptr<const TextMatcher> marks);
  const std::vector<MessageListItem>& Items() const { return items_; }
  void DrawItem(const DRAWITEMSTRUCT& draw) override;
  void MeasureItem(MEASUREITEMSTRUCT& measure) override;

 private:
  std::vector<MessageListItem> items_;
  std::shared_ptr<const TextMatcher> marks_;
};
