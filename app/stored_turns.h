// The store's operations as the commands run them: a load under the wait
// cursor, and every failure shown to the user, in the program's words,
// instead of raised.
#pragma once

#include <cstdint>
#include <string>

class CurrentGame;
class SmartCache;
class TextMatcher;
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

// The stored messages a command gathers: the player post only, or those
// whose MSGTXT contains a text, or both.
struct MessageSelection {
  bool playerPostOnly = false;
  const TextMatcher* text = nullptr;  // null: any text; else must outlive the gathering
};

// Appends a copy of every row of `messages` (a loaded turn) that `wanted`
// takes to `gathered`, in stored order. A table without a long MSGTYP has
// no player post, one without a text MSGTXT no text that contains any.
void GatherMessages(const SmartCache& messages, const MessageSelection& wanted, SmartCache& gathered);

// Appends a copy of every message of the stored turn `turn` of `game` and
// `race` that `wanted` takes to `gathered` (a table of the program's
// message columns), in stored order, taking them where they lie in the
// file. A failure shows kLoadError with the error's report, as
// LoadTurnOrSay does, appends nothing and returns false.
bool GatherStoredMessagesOrSay(const TurnStore& store, UserInterface& ui, const std::string& game,
                               int32_t race, int32_t turn, const MessageSelection& wanted,
                               SmartCache& gathered);

// TurnStore::SaveTurn; a failure shows kSaveError with the error's report
// and returns false (the stored files stay as they were).
bool SaveTurnOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current);

// TurnStore::ExportTurnText; a failure is shown as SaveTurnOrSay shows its
// failures (a text file that silently stays old would pass for the
// turn's) and returns false.
bool ExportTurnTextOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current);
