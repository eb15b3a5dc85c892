// Drawing the items of the two owner-drawn lists: the chooser's colour list
// (ColorListBox) and the main window's message list (MessageListBox).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/canvas.h"
#include "app/message_list_item.h"

class TextMatcher;

struct ColorListItem {
  std::string text;
  Color color = 0;
  int32_t scale = 0;  // sx and sy of the text
};

// GlyphHeight(scale) + 6: 11 pixels at scale 0, 16 at scale 1.
int ColorListItemHeight(int32_t scale);
// The list's horizontal extent for an item: length x (2 << scale) + 50.
int ColorListExtent(const ColorListItem& item);
// The item filled and its text at (left + 2, top + 2).
void DrawColorListItem(Canvas& canvas, const Rect& rect, const ColorListItem& item, uint32_t state);

// The header of item `index` (0-based) of `count`: "--- Diplomatic Message
// [i/n] --- from: Zorgs ( Relation: Enemy )", or "--- System Message
// [i/n] ---" without a race name.
std::string MessageItemHeader(const MessageListItem& item, int index, int count);

// The parts of `line` that `marks` matches, as [begin, end) byte ranges
// in order; matches that overlap or touch make one range.
std::vector<std::pair<size_t, size_t>> MarkedSpans(const TextMatcher& marks, std::string_view line);

// A message item: the turn, the header, an envelope for outgoing post and
// the text lines (40 pixels further right beside the envelope); the "no
// messages" entry (id -1) shows "--- No Messages ---" instead of turn and
// header. With `marks`, what it matches in each line drawn is underlined,
// one pixel below the glyphs, in the lines' colour.
void DrawMessageListItem(Canvas& canvas, const Rect& rect, const MessageListItem& item, int index,
                         int count, uint32_t state, const TextMatcher* marks = nullptr);
