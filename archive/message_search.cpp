#include "archive/message_search.h"

#include <algorithm>

namespace {

// Folding of every byte, made once.
struct FoldTable {
  FoldTable() {
    for (int i = 0; i < 256; ++i) small[i] = static_cast<char>(i);
    for (int c = 'A'; c <= 'Z'; ++c) small[c] = static_cast<char>(c - 'A' + 'a');
    small[0xC4] = '\xE4';  // Ä ä
    small[0xD6] = '\xF6';  // Ö ö
    small[0xDC] = '\xFC';  // Ü ü
  }
  char small[256];
};

const FoldTable kFold;

}  // namespace

char TextMatcher::Fold(char byte) { return kFold.small[static_cast<uint8_t>(byte)]; }

TextMatcher::TextMatcher(std::string needle, bool ignoreCase)
    : needle_(std::move(needle)), ignoreCase_(ignoreCase) {
  if (ignoreCase_) std::transform(needle_.begin(), needle_.end(), needle_.begin(), Fold);
}

bool TextMatcher::Matches(const std::string& text) const {
  if (!ignoreCase_) return text.find(needle_) != std::string::npos;
  folded_.resize(text.size());
  std::transform(text.begin(), text.end(), folded_.begin(), Fold);
  return folded_.find(needle_) != std::string::npos;
}

std::string RaceLabel(const RaceInfos& races, const std::optional<int32_t>& race) {
  if (!race) return "unknown race";
  const auto found = races.find(*race);
  if (found == races.end() || found->second.plural.empty()) return "race " + std::to_string(*race);
  return found->second.plural;
}

int SearchArchive(const TurnStore& store, const SearchOptions& options,
                  const std::function<void(const SearchHit&)>& onHit, const SkippedFile& onSkipped) {
  const TextMatcher matcher(options.text, options.ignoreCase);
  const auto visit = [&](const StoredTurn& turn, const std::vector<StoredMessage>& messages,
                         const RaceInfos& races) {
    for (const StoredMessage& message : messages) {
      if (options.playerPostOnly && !message.playerPost) continue;
      if (!matcher.Matches(message.text)) continue;
      onHit(SearchHit{turn, message,
                      message.playerPost ? RaceLabel(races, message.race) : "system"});
    }
  };
  return VisitStoredTurns(store, options.turns, visit, onSkipped);
}
