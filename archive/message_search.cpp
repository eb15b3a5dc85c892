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

const FoldTable kFolding;

}  // namespace

char TextMatcher::Fold(char byte) { return kFolding.small[static_cast<uint8_t>(byte)]; }

TextMatcher::TextMatcher(std::string needle, bool ignoreCase)
    : needle_(std::move(needle)), ignoreCase_(ignoreCase) {
  if (ignoreCase_) std::transform(needle_.begin(), needle_.end(), needle_.begin(), Fold);
  const size_t length = needle_.size();
  std::fill(std::begin(skip_), std::end(skip_), std::max<size_t>(length, 1));
  for (size_t i = 0; i + 1 < length; ++i) skip_[static_cast<uint8_t>(needle_[i])] = length - 1 - i;
}

bool TextMatcher::Matches(std::string_view text) const {
  return ignoreCase_ ? find<true>(text) : find<false>(text);
}

template <bool kFold>
bool TextMatcher::find(std::string_view text) const {
  const size_t length = needle_.size();
  if (length == 0) return true;
  if (text.size() < length) return false;
  const auto byte = [&](size_t i) {
    const auto b = static_cast<uint8_t>(text[i]);
    return kFold ? static_cast<uint8_t>(kFolding.small[b]) : b;
  };
  const auto* needle = reinterpret_cast<const uint8_t*>(needle_.data());
  const uint8_t last = needle[length - 1];
  for (size_t at = 0; at + length <= text.size();) {
    const uint8_t under = byte(at + length - 1);
    if (under == last) {
      size_t i = 0;
      while (i + 1 < length && byte(at + i) == needle[i]) ++i;
      if (i + 1 == length) return true;
    }
    at += skip_[under];
  }
  return false;
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
  // Only the messages found are taken out of the files.
  const auto wanted = [&](const StoredMessageView& message) {
    return (!options.playerPostOnly || message.playerPost) && matcher.Matches(message.text);
  };
  const auto visit = [&](const StoredTurn& turn, const std::vector<StoredMessage>& messages,
                         const RaceInfos& races) {
    for (const StoredMessage& message : messages) {
      onHit(SearchHit{turn, message,
                      message.playerPost ? RaceLabel(races, message.race) : "system"});
    }
  };
  return VisitStoredTurns(store, options.turns, visit, onSkipped, wanted);
}
