// Turning a message text read from the game into a MessageTable row.
#pragma once

#include <cstdint>

class CurrentGame;

// Appends one row to the game's MessageTable for `text` (nothing for a null
// text): TURN is the game's turn, MSGID is `number`, MSGHROWID the game's
// clock. The row is a copy in the table's own memory (SmartCache::appendCopy),
// so that the rows of a turn lie one after another.
//
// An incoming text (`incoming` 1, from the reading edit) that begins with
// "FROM" or "VON" in any case is player post, any other incoming text a
// system message with its whole text and no race. An outgoing text
// (`incoming` 0, from the compose edit) is always player post.
//
// For player post, `race` is the other party's RACNO, or -1 to find it from
// the text: the sender's name runs from two characters after the first
// space up to the first CR or the end (at most 999 characters; a header
// "FROM  Zorgs" with two blanks names "Zorgs") and is
// looked up as a RACNAMPLU; no match leaves MSGRACNO NULL. An incoming text
// whose race is sought this way keeps only what follows its second line
// feed (its two header lines), when anything follows it.
//
// Table errors (a game whose tables lack the columns) propagate; the row is
// then not appended.
void AddMessageRow(CurrentGame& game, const char* text, int32_t number,
                   uint8_t incoming, int32_t race);
