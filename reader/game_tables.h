// The two game tables: their columns and the values the columns hold.
#pragma once

#include <cstdint>

class CurrentGame;
class SmartCache;

// RaceTable columns, in table order.
inline constexpr char RACNO[] = "RACNO";                  // SQL_C_LONG, 0-based race number
inline constexpr char RACNAMSING[] = "RACNAMSING";        // SQL_C_CHAR, singular name
inline constexpr char RACNAMPLU[] = "RACNAMPLU";          // SQL_C_CHAR, plural name
inline constexpr char RACEPLAYERNAM[] = "RACEPLAYERNAM";  // SQL_C_CHAR, never set
inline constexpr char RACEMAIL[] = "RACEMAIL";            // SQL_C_CHAR, never set
inline constexpr char RACRELATION[] = "RACRELATION";      // SQL_C_LONG, a Relation
inline constexpr char RACHROWID[] = "RACHROWID";          // SQL_C_TYPE_TIMESTAMP

// MessageTable columns, in table order.
inline constexpr char TURN[] = "TURN";                // SQL_C_LONG, the game year
inline constexpr char MSGID[] = "MSGID";              // SQL_C_LONG, number in the capture
inline constexpr char MSGTYP[] = "MSGTYP";            // SQL_C_LONG, a MessageType
inline constexpr char MSGTXT[] = "MSGTXT";            // SQL_C_CHAR, the text
inline constexpr char MSGRACNO[] = "MSGRACNO";        // SQL_C_LONG, the other party's RACNO
inline constexpr char MSGINCOMING[] = "MSGINCOMING";  // SQL_C_LONG, 1 incoming, 0 outgoing
inline constexpr char MSGHROWID[] = "MSGHROWID";      // SQL_C_TYPE_TIMESTAMP

// The player's relation to a race (RACRELATION).
enum Relation : int32_t { kFriend = 0, kNeutral = 1, kEnemy = 2 };

// The kind of a message (MSGTYP).
enum MessageType : int32_t { kSystemMessage = 0, kPlayerMessage = 1 };

// Empties `table` (columns and rows) and, when it is the game's RaceTable or
// MessageTable, gives it that table's seven columns in order. Rows made
// from its template row start with every cell NULL.
void DefineTableColumns(CurrentGame& game, SmartCache& table);
