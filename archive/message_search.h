// Searching the stored messages of an archive for a text.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "archive/stored_messages.h"

class TurnStore;

// Whether a text contains a given text, byte for byte in code page 1252,
// or with A-Z and the German umlauts (Ä, Ö, Ü) folded to their small
// letters. The text is searched where it lies (Boyer-Moore-Horspool, its
// bytes folded as they are compared), so a long needle skips most bytes.
class TextMatcher {
 public:
  TextMatcher(std::string needle, bool ignoreCase);
  bool Matches(std::string_view text) const { return Find(text) != std::string_view::npos; }
  // Where the first match in `text` at or after `from` begins; npos when
  // there is none. An empty needle matches at `from` (up to the text's end).
  size_t Find(std::string_view text, size_t from = 0) const;
  // The number of bytes a match covers.
  size_t Length() const { return needle_.size(); }
  bool IgnoresCase() const { return ignoreCase_; }

  // A byte with A-Z, Ä, Ö and Ü made small.
  static char Fold(char byte);

 private:
  // Two places of the needle (distinct when it has two) whose bytes the
  // search looks for first: those least common in texts.
  using Pair = std::pair<size_t, size_t>;
  static Pair rarestPair(const std::string& needle);

  template <bool kFold>
  size_t find(std::string_view text) const;

  std::string needle_;  // folded when case is ignored
  bool ignoreCase_;
  // Per byte (folded when case is ignored), how far the needle may move on
  // when that byte is under its last place.
  size_t skip_[256];
  Pair pair_;
};

struct SearchOptions {
  TurnSelection turns;
  bool playerPostOnly = false;
  bool ignoreCase = false;
  std::string text;
};

// A message found, with where it is stored. `where` and `message` refer to
// what the search has read of the current turn: they are valid only during
// the call of `onHit` (SearchArchive) that gets the hit. Copy what is needed
// after it.
struct SearchHit {
  const StoredTurn& where;
  const StoredMessageView& message;
  // The other race's plural name; "system" for a system message, "race N"
  // for a race that RACES.SAV does not name, "unknown race" for player post
  // whose race was not found.
  std::string otherRace;
};

// Calls `onHit` for every stored message that matches, in archive order
// (SelectTurns, then stored row order). A turn file or RACES.SAV that
// cannot be read is passed to `onSkipped` with its path and the reason;
// the search goes on without it. Returns the number of files skipped.
int SearchArchive(const TurnStore& store, const SearchOptions& options,
                  const std::function<void(const SearchHit&)>& onHit, const SkippedFile& onSkipped);

// Appends the text that stands for a hit to `text`.
using HitText = std::function<void(const SearchHit& hit, std::string& text)>;

// As SearchArchive, for output: `hitText` makes the text of every hit on
// the threads that read the files (two at once where there are two), and
// `write` gets the text of each turn that has hits, on the caller's thread
// in archive order, so that the text is made while the last is written.
int WriteSearchHits(const TurnStore& store, const SearchOptions& options, const HitText& hitText,
                    const std::function<void(const std::string&)>& write,
                    const SkippedFile& onSkipped);

// The name of `race` for a reader: the plural name RACES.SAV gives, else
// "race N"; "unknown race" when there is no race.
std::string RaceLabel(const RaceInfos& races, const std::optional<int32_t>& race);
