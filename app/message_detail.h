// What the message detail dialog shows for one row of the MessageTable,
// and how it pages through the table.
#pragma once

#include <cstddef>
#include <string>

#include "app/canvas.h"
#include "archive/message_heading.h"  // RelationColor
#include "cache/smartcache.h"

class CurrentGame;
class TextMatcher;

struct MessageDetailView {
  std::string text;    // MSGTXT (empty when NULL), every line end CR LF for the text box
  std::string header;  // "---System Message---" or "---Diplomatic Message---"
  std::string party;   // 20 hyphens, or "from: Zorgs" / "to: Zorgs"
  Color color = 0;     // of both labels: by the relation to the race
  bool nextEnabled = false;
  bool previousEnabled = false;
  // The first place in `text` that the marks match, to be selected and
  // scrolled into view: from `markBegin` up to `markEnd`; both 0 when
  // there are no marks or no match.
  size_t markBegin = 0;
  size_t markEnd = 0;
};


// The first row, in store order, with MSGID `id`; the end when there is
// none or `id` is negative.
CachePosition FindMessage(const SmartCache& messages, int32_t id);

// The view of the row at `position` (not the end), with the first match of
// `marks` (when given) in its text. A diplomatic message whose race has no
// RaceTable row says "from: unknown race N" in the foreground colour; one
// without a direction (MSGINCOMING NULL, possible only in files written
// elsewhere) counts as incoming.
MessageDetailView ShowMessage(const CurrentGame& game, CachePosition position,
                              const TextMatcher* marks = nullptr);
