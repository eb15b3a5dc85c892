#include "app/list_drawing.h"

#include "app/control_drawing.h"
#include "archive/message_heading.h"
#include "archive/message_search.h"
#include "app/stroke_font.h"
#include "support/text_format.h"

namespace {

// The colour list's text, from the item's top left corner.
constexpr int kColorTextInset = 2;

// Where a message item's parts go, from its top left corner.
constexpr int kTurnLeft = 2;
constexpr int kRowTop = 2;  // of the turn, the header and "--- No Messages ---"
constexpr int kHeaderLeft = 50;
constexpr int kNoMessagesLeft = 10;
constexpr int kLinesTop = 14;  // below the header row
constexpr int kIncomingLinesLeft = 5;
constexpr int kOutgoingLinesLeft = 45;  // beside the envelope
constexpr int kLineGap = 4;             // between two text lines

bool incoming(const MessageListItem& item) {
  return item.direction == MessageDirection::kIncoming;
}

// The envelope of an outgoing message, as one connected line.
void drawEnvelope(Canvas& canvas, const Rect& r) {
  canvas.MoveTo(r.left + 5, r.top + 20);
  canvas.LineTo(r.left + 35, r.top + 20);
  canvas.LineTo(r.left + 35, r.top + 35);
  canvas.LineTo(r.left + 5, r.top + 35);
  canvas.LineTo(r.left + 5, r.top + 20);
  canvas.LineTo(r.left + 20, r.top + 30);
  canvas.LineTo(r.left + 35, r.top + 20);
}

// Underlines `spans` of a line drawn at scale (0, 1) from (x, y), with the
// pen selected: a glyph is 5 pixels wide in a cell of 6, 10 pixels high.
void underline(Canvas& canvas, int x, int y, const std::vector<std::pair<size_t, size_t>>& spans) {
  const int cell = 6;
  const int below = y + GlyphHeight(1);  // a pixel of space under the glyphs
  for (const auto& [begin, end] : spans) {
    canvas.MoveTo(x + static_cast<int>(begin) * cell, below);
    canvas.LineTo(x + static_cast<int>(end) * cell - 1, below);  // the last glyph's last pixel
  }
}

}  // namespace

std::vector<std::pair<size_t, size_t>> MarkedSpans(const TextMatcher& marks, std::string_view line) {
  std::vector<std::pair<size_t, size_t>> spans;
  const size_t length = marks.Length();
  if (length == 0) return spans;
  for (size_t at = marks.Find(line); at != std::string_view::npos; at = marks.Find(line, at + 1)) {
    if (!spans.empty() && at <= spans.back().second) {
      spans.back().second = at + length;
    } else {
      spans.emplace_back(at, at + length);
    }
  }
  return spans;
}

int ColorListItemHeight(int32_t scale) { return GlyphHeight(scale) + 6; }

int ColorListExtent(const ColorListItem& item) {
  return static_cast<int>(item.text.size()) * (2 << item.scale) + 50;
}

void DrawColorListItem(Canvas& canvas, const Rect& rect, const ColorListItem& item,
                       uint32_t state) {
  const ItemColors colors = ListItemColors(state, item.color);
  canvas.FillRect(rect, colors.fill);
  canvas.SetPen(colors.pen);
  DrawStrokeText(canvas, item.text.c_str(), rect.left + kColorTextInset, rect.top + kColorTextInset,
                 item.scale, item.scale);
}

std::string MessageItemHeader(const MessageListItem& item, int index, int count) {
  return MessageHeading(item.raceName, incoming(item), static_cast<int32_t>(item.relation), index,
                        count);
}

void DrawMessageListItem(Canvas& canvas, const Rect& rect, const MessageListItem& item, int index,
                         int count, uint32_t state, const TextMatcher* marks) {
  const ItemColors colors = ListItemColors(state, item.color);
  canvas.FillRect(rect, colors.fill);
  canvas.SetPen(colors.pen);
  canvas.SetTextColor(colors.pen);
  if (item.id == -1) {
    DrawStrokeText(canvas, "--- No Messages ---", rect.left + kNoMessagesLeft, rect.top + kRowTop,
                   1, 0);
  } else {
    DrawStrokeText(canvas, formatText("%d", static_cast<int>(item.turn)).c_str(),
                   rect.left + kTurnLeft, rect.top + kRowTop, 1, 0);
    DrawStrokeText(canvas, MessageItemHeader(item, index, count).c_str(), rect.left + kHeaderLeft,
                   rect.top + kRowTop, 0, 0);
  }
  if (!incoming(item)) drawEnvelope(canvas, rect);
  const int x = rect.left + (incoming(item) ? kIncomingLinesLeft : kOutgoingLinesLeft);
  int y = rect.top + kLinesTop;
  for (std::string_view line : item.lines) {
    DrawStrokeText(canvas, std::string(line).c_str(), x, y, 0, 1);
    if (marks) underline(canvas, x, y, MarkedSpans(*marks, line));
    y += GlyphHeight(1) + kLineGap;
  }
}
