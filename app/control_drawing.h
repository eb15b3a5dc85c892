// How the program's own controls look: every button, label and list item
// is drawn in the stroke font, cyan on black.
#pragma once

#include <cstdint>
#include <string>

#include "app/canvas.h"
#include "app/colors.h"

// Owner-draw item states.
inline constexpr uint32_t kOdsSelected = 0x0001;
inline constexpr uint32_t kOdsDisabled = 0x0004;
inline constexpr uint32_t kOdsFocus = 0x0010;

// A button shows at most this many characters of its caption.
inline constexpr int kLongestButtonCaption = 99;

// A push button (OwnerDrawButton): filled cyan with black lines while
// pushed, black with cyan lines otherwise, dark teal lines while disabled;
// an outline and the caption (cut to kLongestButtonCaption) centred at
// scale 0. The button with the keyboard focus also shows a dotted
// rectangle in its line colour, kFocusInset pixels inside the outline.
inline constexpr int kFocusInset = 2;
void DrawButtonFace(Canvas& canvas, const Rect& item, const std::string& caption, bool pushed,
                    bool disabled, bool focused = false);

// A check box (OwnerDrawCheckBox): black, a square of kCheckSize pixels at
// the left, vertically centred, crossed while checked, and the caption at
// scale 0 beside it, all in cyan (dark teal while disabled). With the
// keyboard focus a dotted rectangle surrounds the caption.
inline constexpr int kCheckSize = 9;
void DrawCheckBox(Canvas& canvas, const Rect& item, const std::string& caption, bool checked,
                  bool disabled, bool focused = false);

// A label's colour: `color` while enabled, each channel halved while
// disabled.
Color LabelColor(Color color, bool enabled);

// A label (OwnerDrawStatic): black, the caption left-aligned and vertically
// centred (5 pixels above the middle) in `color` at scales sx, sy.
void DrawLabel(Canvas& canvas, const Rect& client, const std::string& caption, int sx, int sy,
               Color color);

// The pen and fill of a list item drawn in `color` in `state`: disabled,
// dark teal on black; selected, black on `color`; otherwise `color` on
// black.
struct ItemColors {
  Color pen;
  Color fill;
};
ItemColors ListItemColors(uint32_t state, Color color);
