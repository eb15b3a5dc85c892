// MessageDetailDialog: one message of the MessageTable, whole, with its
// kind and the other race in the colour of the player's relation
// (template 136). "Previous" and "Next " (and the arrow keys) page through
// the whole table, whatever the main window's filter; the text scrolls in a
// read-only box (with its scroll bar, Page Up and Page Down). The dialog
// opens centred over the main window.
#pragma once

#include "cache/smartcache.h"
#include "win32/black_dialog.h"
#include "win32/owner_draw_controls.h"

class CurrentGame;
class TextMatcher;

class MessageDetailDialog : public BlackDialog {
 public:
  // `position` is a row of `game`'s MessageTable; `game`, and `marks` when
  // given, must outlive the dialog. With `marks`, the first match in each
  // message's text is selected and scrolled into view.
  MessageDetailDialog(HWND parent, const CurrentGame& game, CachePosition position,
                      const TextMatcher* marks = nullptr);

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  void ShowMessage();
  void Next();
  void Previous();
  // Enables or disables a paging button. A button that has the focus hands
  // it on before it is disabled (to the other paging button, or "Cancel"):
  // a disabled focus would leave the keys without a receiver.
  void EnableButton(int id, bool enabled);
  // Handles a key the dialog pages or scrolls with; false for other keys.
  bool OnKey(WPARAM key);
  // The arrow keys reach the dialog through a message filter of its
  // modal loop, whichever control has the focus.
  static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);

  const CurrentGame& game_;
  CachePosition position_;
  const TextMatcher* marks_;
  HHOOK keyFilter_ = nullptr;
  OwnerDrawStatic header_;
  OwnerDrawStatic party_;
  OwnerDrawButton previous_;
  OwnerDrawButton next_;
  OwnerDrawButton cancel_;
};
