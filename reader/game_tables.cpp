#include "reader/game_tables.h"

#include "cache/type_codes.h"
#include "reader/current_game.h"

void DefineTableColumns(CurrentGame& game, SmartCache& table) {
  table.resetSchema();
  if (&table == &game.RaceTable()) {
    table.addColumn(RACNO, SQL_C_LONG);
    table.addColumn(RACNAMSING, SQL_C_CHAR);
    table.addColumn(RACNAMPLU, SQL_C_CHAR);
    table.addColumn(RACEPLAYERNAM, SQL_C_CHAR);
    table.addColumn(RACEMAIL, SQL_C_CHAR);
    table.addColumn(RACRELATION, SQL_C_LONG);
    table.addColumn(RACHROWID, SQL_C_TYPE_TIMESTAMP);
  } else if (&table == &game.MessageTable()) {
    table.addColumn(TURN, SQL_C_LONG);
    table.addColumn(MSGID, SQL_C_LONG);
    table.addColumn(MSGTYP, SQL_C_LONG);
    table.addColumn(MSGTXT, SQL_C_CHAR);
    table.addColumn(MSGRACNO, SQL_C_LONG);
    table.addColumn(MSGINCOMING, SQL_C_LONG);
    table.addColumn(MSGHROWID, SQL_C_TYPE_TIMESTAMP);
  }
}
