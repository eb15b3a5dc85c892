// The store's operations as the commands run them: a load under the wait
// cursor, and every failure shown to the user, in the program's words,
// instead of raised.
#pragma once

#include <cstdint>
#include <string>

class CurrentGame;
class SmartCache;
class TurnStore;
class UserInterface;

inline constexpr char kLoadError[] = "Error while loading sav files. Details: \r\n ";
inline constexpr char kSaveError[] = "Error while writing sav files. Details: \r\n ";

// TurnStore::LoadTurn under the wait cursor. A failure shows kLoadError
// with the error's report (the game is then left unset, as LoadTurn
// leaves it) and returns false.
bool LoadTurnOrSay(const TurnStore& store, UserInterface& ui, CurrentGame& current,
                   std::string game, int32_t race, int32_t turn);

// Reads the stored turn `turn` of `game` and `race` into `table` alone
// (not the game's races, nor the game itself). A failure shows kLoadError
// with the error's report, as LoadTurnOrSay does, leaves `table` as it was
// and returns false.
bool ReadTurnTableOrSay(const TurnStore& store, UserInterface& ui, const std::string& game,
                        int32_t race, int32_t turn, SmartCache& table);

// Appends a copy of every player-post row of `messages` (a loaded turn) to
// `gathered`, in stored order; a table without MSGTYP gives none.
void GatherPlayerPost(const SmartCache& messages, SmartCache& gathered);

// Appends a copy of every player-post row of the stored turn `turn` of
// `game` and `race` to `gathered` (a table of the program's message
// columns), in stored order, taking them where they lie in the file. A
// failure shows kLoadError with the error's report, as LoadTurnOrSay does,
// appends nothing and returns false.
bool GatherStoredPlayerPostOrSay(const TurnStore& store, UserInterface& ui, const std::string& game,
                                 int32_t race, int32_t turn, SmartCache& gathered);

// TurnStore::SaveTurn; a failure shows kSaveError with the error's report
// and returns false (the stored files stay as they were).
bool SaveTurnOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current);

// TurnStore::ExportTurnText; a failure is shown as SaveTurnOrSay shows its
// failures (a text file that silently stays old would pass for the
// turn's) and returns false.
bool ExportTurnTextOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current);
