#include "archive/message_heading.h"

#include "reader/game_tables.h"
#include "support/palette.h"
#include "support/text_format.h"

namespace {

const char* relationWord(int32_t relation) {
  if (relation == kFriend) return "Friend";
  if (relation == kNeutral) return "Neutral";
  return "Enemy";
}

}  // namespace

std::string MessageHeading(const std::string& raceName, bool incoming, int32_t relation, int index,
                           int count) {
  if (raceName.empty()) return formatText("--- System Message [%d/%d] ---", index + 1, count);
  return formatText("--- Diplomatic Message [%d/%d] --- %s: %s ( Relation: %s )", index + 1, count,
                    incoming ? "from" : "next turn outgoing to", raceName.c_str(),
                    relationWord(relation));
}

uint32_t RelationColor(bool known, int32_t relation) {
  if (!known) return palette::kForeground;
  switch (relation) {
    case kFriend: return palette::kFriend;
    case kNeutral: return palette::kNeutral;
    case kEnemy: return palette::kEnemy;
    default: return palette::kForeground;
  }
}
