// Filling the RaceTable from the running game.
#pragma once

#include <string>

#include "reader/window_ops.h"

class CurrentGame;

namespace game_ui {

// The game's command that opens its player-relations dialog.
inline constexpr MessageParam kRelationsCommand = 2014;
inline constexpr char kRelationsGerman[] = "Spieler-Beziehungen";
inline constexpr char kRelationsEnglish[] = "Player Relations";
inline constexpr char kFriendEnglish[] = "&Friend";
inline constexpr char kFriendGerman[] = "&Freund";
inline constexpr char kNeutral[] = "&Neutral";
inline constexpr char kEnemyEnglish[] = "&Enemy";
inline constexpr char kEnemyGerman[] = "&Feind";
inline constexpr char kNameTooLong[] = "<name too long>";

// Attempts to find the relations dialog, with a wait of kDialogWait
// milliseconds after each one that fails.
inline constexpr int kDialogAttempts = 10;
inline constexpr uint32_t kDialogWait = 500;

}  // namespace game_ui

// Rebuilds the game's RaceTable: one row per entry of the pane's recipient
// combo box after its first (RACNO 0, 1, 2 ..., RACNAMPLU the entry; a name
// of 100 characters or more is stored as "<name too long>"), then the
// singular names and the player's relations from the game's relations
// dialog, which is opened with the command 2014, polled for and closed. The
// player's own race (from the frame title) gets the title's race name and
// relation 0; the dialog lists every other race in combo order. Stops
// early, keeping what it has, when the title names no race, the frame is
// missing or the dialog does not appear; without the pane it reads the
// dialog alone. Returns the error message for the user of a missing frame
// or pane, else the empty string.
std::string ReadPlayerRelations(WindowOps& ops, CurrentGame& game);
