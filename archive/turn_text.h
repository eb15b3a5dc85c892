// The plain text form of a turn: what the archive's "%d.txt" files hold.
#pragma once

#include <iosfwd>
#include <string>

class CurrentGame;

// Writes the header lines "Game: \"<name>\"", "Race: <race + 1>",
// "Turn: <turn>" and two empty lines, then per MessageTable row its MSGTXT
// followed by four line ends. Every line end is CR LF: a CR LF in a text
// stays one, a lone LF becomes one. Flushes after every line end. A NULL
// MSGTXT raises the table's "access to NULL field" error.
void WriteTurnText(const CurrentGame& game, std::ostream& out);

// `text` with every LF that has no CR before it written as CR LF.
std::string WithCrLf(const std::string& text);
