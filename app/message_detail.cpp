#include "app/message_detail.h"

#include "app/colors.h"
#include "archive/message_search.h"
#include "archive/turn_text.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "support/text_format.h"

CachePosition FindMessage(const SmartCache& messages, int32_t id) {
  if (id < 0 || messages.findColumn(MSGID) < 0) return messages.end();
  CacheRow pattern = messages.templateRow();
  pattern.setLong(MSGID, id);
  return messages.findFirst(pattern);
}

MessageDetailView ShowMessage(const CurrentGame& game, CachePosition position,
                              const TextMatcher* marks) {
  const SmartCache& messages = game.MessageTable();
  const CacheRow row = messages.rowAt(position);
  MessageDetailView view;
  view.text = row.isNull(MSGTXT) ? std::string() : WithCrLf(row.getString(MSGTXT));
  view.color = kForeground;
  if (row.isNull(MSGRACNO)) {
    view.header = "---System Message---";
    view.party = std::string(20, '-');
  } else {
    const int32_t race = row.getLong(MSGRACNO);
    const bool outgoing = !row.isNull(MSGINCOMING) && row.getLong(MSGINCOMING) == 0;
    const char* direction = outgoing ? "to" : "from";
    view.header = "---Diplomatic Message---";
    const CachePosition found = game.FindRaceRow(race);
    if (found.isEnd()) {
      view.party = formatText("%s: unknown race %d", direction, static_cast<int>(race));
    } else {
      const CacheRow raceRow = game.RaceTable().rowAt(found);
      const bool known = !raceRow.isNull(RACRELATION);
      view.color = RelationColor(known, known ? raceRow.getLong(RACRELATION) : 0);
      view.party = formatText("%s: %s", direction,
                              raceRow.isNull(RACNAMPLU) ? "" : raceRow.getString(RACNAMPLU).c_str());
    }
  }
  // The text box's text is searched: its line ends are CR LF, and a match
  // is selected where it stands there.
  const size_t found = marks ? marks->Find(view.text) : std::string::npos;
  if (found != std::string::npos && marks->Length() > 0) {
    view.markBegin = found;
    view.markEnd = found + marks->Length();
  }
  view.nextEnabled = messages.next(position) != messages.end();
  view.previousEnabled = position != messages.begin();
  return view;
}
