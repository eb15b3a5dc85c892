#include "archive/message_search.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
  pair_ = rarestPair(needle_);
}

size_t TextMatcher::Find(std::string_view text, size_t from) const {
  if (from > text.size()) return std::string_view::npos;
  const std::string_view rest = text.substr(from);
  const size_t at = ignoreCase_ ? find<true>(rest) : find<false>(rest);
  return at == std::string_view::npos ? at : from + at;
}

namespace {

// Bytes whose folding is setting bit 0x20 (A-Z, Ä, Ö, Ü and their small
// letters): a folded byte b of this kind is met exactly by the bytes x
// with (x | 0x20) == b.
bool foldsByBit(uint8_t folded) {
  return (folded >= 'a' && folded <= 'z') || folded == 0xE4 || folded == 0xF6 || folded == 0xFC;
}

// How rarely a (folded) byte turns up in the texts of players: letters by
// their frequency in English, the space as the most common; the higher,
// the rarer.
int rarity(uint8_t b) {
  static const char kByFrequency[] = "etaoinshrdlcumwfgypbvkjxqz";
  if (b == ' ') return 0;
  const uint8_t small = b >= 'A' && b <= 'Z' ? static_cast<uint8_t>(b | 0x20) : b;
  for (int i = 0; kByFrequency[i] != '\0'; ++i) {
    if (kByFrequency[i] == small) return 1 + i;
  }
  return b >= 0x80 ? 30 : 20;  // digits and signs, then the other bytes
}

}  // namespace

TextMatcher::Pair TextMatcher::rarestPair(const std::string& needle) {
  Pair pair{0, needle.size() > 1 ? 1u : 0u};
  const auto rank = [&](size_t i) { return rarity(static_cast<uint8_t>(needle[i])); };
  for (size_t i = 0; i < needle.size(); ++i) {
    if (rank(i) > rank(pair.first)) pair.first = i;
  }
  pair.second = pair.first == 0 && needle.size() > 1 ? 1 : 0;
  for (size_t i = 0; i < needle.size(); ++i) {
    if (i != pair.first && rank(i) > rank(pair.second)) pair.second = i;
  }
  return pair;
}

template <bool kFold>
size_t TextMatcher::find(std::string_view text) const {
  constexpr size_t kNone = std::string_view::npos;
  const size_t length = needle_.size();
  if (length == 0) return 0;
  if (text.size() < length) return kNone;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto byte = [&](size_t i) {
    return kFold ? static_cast<uint8_t>(kFolding.small[bytes[i]]) : bytes[i];
  };
  const auto* needle = reinterpret_cast<const uint8_t*>(needle_.data());
  const auto equalAt = [&](size_t at) {
    for (size_t i = 0; i < length; ++i) {
      if (byte(at + i) != needle[i]) return false;
    }
    return true;
  };
  const uint8_t last = needle[length - 1];
  size_t at = 0;
#if defined(__SSE2__)
  // Sixteen places at a time: those where the needle's two rarest bytes
  // stand are compared whole.
  if (length >= 2) {
    const auto orFor = [&](uint8_t b) {
      return _mm_set1_epi8(static_cast<char>(kFold && foldsByBit(b) ? 0x20 : 0));
    };
    const size_t p = pair_.first, q = pair_.second;
    const __m128i first = _mm_set1_epi8(static_cast<char>(needle[p]));
    const __m128i second = _mm_set1_epi8(static_cast<char>(needle[q]));
    const __m128i firstOr = orFor(needle[p]);
    const __m128i secondOr = orFor(needle[q]);
    for (; at + length - 1 + 16 <= text.size(); at += 16) {
      const __m128i ps = _mm_or_si128(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + p)), firstOr);
      const __m128i qs = _mm_or_si128(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + q)), secondOr);
      unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
          _mm_and_si128(_mm_cmpeq_epi8(ps, first), _mm_cmpeq_epi8(qs, second))));
      for (; mask != 0; mask &= mask - 1) {
        const size_t place = at + static_cast<size_t>(__builtin_ctz(mask));
        if (equalAt(place)) return place;
      }
    }
  }
#endif
  // Boyer-Moore-Horspool over the rest.
  while (at + length <= text.size()) {
    const uint8_t under = byte(at + length - 1);
    if (under == last && equalAt(at)) return at;
    at += skip_[under];
  }
  return kNone;
}

std::string RaceLabel(const RaceInfos& races, const std::optional<int32_t>& race) {
  if (!race) return "unknown race";
  const auto found = races.find(*race);
  if (found == races.end() || found->second.plural.empty()) return "race " + std::to_string(*race);
  return found->second.plural;
}

namespace {

// The hit that `message` of `turn` is.
template <class OnHit>
void asHit(const StoredTurn& turn, const StoredMessageView& message, const RaceInfos& races,
           const OnHit& onHit) {
  onHit(SearchHit{turn, message, message.playerPost ? RaceLabel(races, message.race) : "system"});
}

// Only the messages found are taken out of the files.
MessageWanted wantedBy(const SearchOptions& options, const TextMatcher& matcher) {
  return [&options, &matcher](const StoredMessageView& message) {
    return (!options.playerPostOnly || message.playerPost) && matcher.Matches(message.text);
  };
}

}  // namespace

int SearchArchive(const TurnStore& store, const SearchOptions& options,
                  const std::function<void(const SearchHit&)>& onHit, const SkippedFile& onSkipped) {
  const TextMatcher matcher(options.text, options.ignoreCase);
  const auto visit = [&](const StoredTurn& turn, const std::vector<StoredMessage>& messages,
                         const RaceInfos& races) {
    for (const StoredMessage& message : messages) asHit(turn, message.View(), races, onHit);
  };
  return VisitStoredTurns(store, options.turns, visit, onSkipped, wantedBy(options, matcher));
}

int WriteSearchHits(const TurnStore& store, const SearchOptions& options, const HitText& hitText,
                    const std::function<void(const std::string&)>& write,
                    const SkippedFile& onSkipped) {
  const TextMatcher matcher(options.text, options.ignoreCase);
  const auto text = [&](const StoredTurn& turn, const StoredMessageView& message,
                        const RaceInfos& races, std::string& made) {
    asHit(turn, message, races, [&](const SearchHit& hit) { hitText(hit, made); });
  };
  return WriteStoredTurns(store, options.turns, text, write, onSkipped, wantedBy(options, matcher));
}
