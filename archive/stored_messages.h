// The stored turns of an archive as a sequence of messages, for the tools
// that read the whole archive (search, export).
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/file_system.h"
#include "support/lexc.h"

class TurnStore;

// One stored turn.
struct StoredTurn {
  std::string game;
  int32_t race;
  int32_t turn;
};

// Which stored turns to take: a game, a race and a range of turns (both
// ends included); an empty field takes them all.
struct TurnSelection {
  std::optional<std::string> game;
  std::optional<int32_t> race;
  int32_t fromTurn = std::numeric_limits<int32_t>::min();
  int32_t toTurn = std::numeric_limits<int32_t>::max();
};

// The selected turns in archive order: games by name (byte order), races
// and turns ascending, whatever order the folders list them in.
std::vector<StoredTurn> SelectTurns(const TurnStore& store, const TurnSelection& selection);

// A message as it lies in a turn file: its text is the file's bytes, valid
// only while the message is looked at.
struct StoredMessageView {
  int32_t id = 0;
  bool playerPost = false;
  bool incoming = false;
  std::optional<int32_t> race;
  std::string_view text;
};

// One row of a turn file, as the tools show it.
struct StoredMessage {
  int32_t id = 0;              // MSGID
  bool playerPost = false;     // MSGTYP is player post
  bool incoming = false;       // MSGINCOMING is 1
  std::optional<int32_t> race;  // MSGRACNO: the other party, when known
  std::string text;            // MSGTXT (empty when NULL)

  // The message of `view`, its text copied.
  static StoredMessage Of(const StoredMessageView& view) {
    return StoredMessage{view.id, view.playerPost, view.incoming, view.race, std::string(view.text)};
  }
  // A view of this message, valid as long as it is.
  StoredMessageView View() const { return StoredMessageView{id, playerPost, incoming, race, text}; }
};
// Which messages to take: true for a message to keep.
using MessageWanted = std::function<bool(const StoredMessageView&)>;
// Receives a message of a turn file; the view is valid during the call.
using MessageSeen = std::function<void(const StoredMessageView&)>;

// Passes every message of the turn file `path` of `store` to `onMessage`,
// in stored row order, without copying its text. Raises as
// ReadTurnMessages does; a file that raises may have passed messages
// before it did, so what is made of them is to be kept only once this has
// returned.
void ScanTurnMessages(const TurnStore& store, const std::string& path,
                      const MessageSeen& onMessage);

// The messages of the turn file `path` of `store`, in stored row order;
// only those `wanted` accepts when it is given, and only their texts are
// copied. Raises LExc_... for a file that cannot be read as a message table
// (a missing file, an invalid stream, missing columns, cells of other
// types); nothing is taken from such a file.
std::vector<StoredMessage> ReadTurnMessages(const TurnStore& store, const std::string& path,
                                            const MessageWanted& wanted = nullptr);

// What the RACES.SAV of a game tells of a race.
struct RaceInfo {
  std::string plural;                // RACNAMPLU (empty when NULL)
  std::optional<int32_t> relation;  // RACRELATION
};
using RaceInfos = std::map<int32_t, RaceInfo>;  // by RACNO

// The races of RACES.SAV at `path` of `store`; raises as ReadTurnMessages
// does.
RaceInfos ReadRaceInfos(const TurnStore& store, const std::string& path);

// "friend", "neutral" or "enemy"; empty for any other value.
std::string RelationName(int32_t relation);

// Receives a file that cannot be read: its path and why.
using SkippedFile = std::function<void(const std::string& path, const std::string& reason)>;

// Why the file `path` could not be read, `error` having been raised by
// its load: "no such file", "a folder, not a file", "not a regular file"
// (a FIFO or a device), "cannot be opened",
// or "damaged (<error>)"; a failed allocation gives the error's own text.
std::string WhyUnreadable(FileSystem& files, const std::string& path, const LExc_Base& error);
// Receives a stored turn with its messages and the races of its game.
using TurnVisit = std::function<void(const StoredTurn& turn, const std::vector<StoredMessage>& messages,
                                     const RaceInfos& races)>;

// Reads the selected turns in archive order and passes each to `visit`,
// with the races of its game's RACES.SAV (none when that cannot be read).
// Files that cannot be read go to `skipped`, and their turns are left out.
// Returns the number of files skipped. The files are read on threads of
// their own (two where the file system allows), up to eight turns ahead of
// `visit`: `wanted` runs on those threads (on two at once where there are
// two), and `visit` and `skipped`, which run on the caller's, must not use
// `store` meanwhile.
int VisitStoredTurns(const TurnStore& store, const TurnSelection& selection,
                     const TurnVisit& visit, const SkippedFile& skipped,
                     const MessageWanted& wanted = nullptr);

// Appends the text that stands for a message of a stored turn, with the
// races of its game, to `text`.
using MessageText = std::function<void(const StoredTurn& turn, const StoredMessageView& message,
                                       const RaceInfos& races, std::string& text)>;

// As VisitStoredTurns, for output: `text` makes the text of each message
// that `wanted` takes from the file's bytes, on the reading threads (two at
// once where there are two), and `write` gets the text of each turn that
// is not empty, on the caller's thread in archive order.
int WriteStoredTurns(const TurnStore& store, const TurnSelection& selection,
                     const MessageText& text, const std::function<void(const std::string&)>& write,
                     const SkippedFile& skipped, const MessageWanted& wanted = nullptr);
