#include "archive/turn_text.h"

#include <ostream>

#include "reader/current_game.h"
#include "reader/game_tables.h"

namespace {

// No flush: the file is written aside and renamed into place once whole,
// so its lines go out in the stream's own buffer.
void lineEnd(std::ostream& out) { out << "\r\n"; }

}  // namespace

std::string WithCrLf(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
    result += text[i];
  }
  return result;
}

void WriteTurnText(const CurrentGame& game, std::ostream& out) {
  out << "Game: \"" << game.GameName() << "\"";
  lineEnd(out);
  out << "Race: " << game.RaceNumber() + 1;
  lineEnd(out);
  out << "Turn: " << game.Turn();
  lineEnd(out);
  lineEnd(out);
  lineEnd(out);
  const SmartCache& messages = game.MessageTable();
  for (CachePosition p = messages.begin(); p != messages.end(); p = messages.next(p)) {
    out << WithCrLf(messages.rowAt(p).getString(MSGTXT));
    for (int k = 0; k < 4; ++k) lineEnd(out);
  }
}
