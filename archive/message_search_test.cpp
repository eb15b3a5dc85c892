#include "archive/message_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "archive/turn_store.h"
#include "archive/test_archive.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

using testing_archive::writeFile;

TEST(TextMatcher, FoldsLettersAndUmlautsOnlyWhenAsked) {
  const TextMatcher exact("\xC4rger", false);  // Ärger
  EXPECT_TRUE(exact.Matches("viel \xC4rger"));
  EXPECT_FALSE(exact.Matches("viel \xE4rger"));

  const TextMatcher folded("\xC4RGER \xFC", true);  // ÄRGER ü
  EXPECT_TRUE(folded.Matches("viel \xE4rger \xDC"));   // ärger Ü
  EXPECT_TRUE(folded.Matches("\xC4rGeR \xFC!"));
  EXPECT_FALSE(folded.Matches("aerger \xFC"));
  // Only A-Z and the umlauts fold: not É/é, not ß.
  EXPECT_FALSE(TextMatcher("\xC9t\xE9", true).Matches("\xE9t\xE9"));
  EXPECT_TRUE(TextMatcher("STRA\xDF" "E", true).Matches("stra\xDF" "e"));
  EXPECT_EQ(TextMatcher::Fold('\xD6'), '\xF6');
  EXPECT_EQ(TextMatcher::Fold('\xF6'), '\xF6');
  EXPECT_EQ(TextMatcher::Fold('['), '[');
}

// The matcher against the plain definition: the first place, from a given
// one on, where every byte, folded when asked, equals the needle's. Texts
// of bytes that differ only in bit 0x20 (a/A, @/`, ä/Ä, é/É) and needles of
// every length up to 40, found at every offset, also across the
// sixteen-byte steps of the scan.
TEST(TextMatcher, AgreesWithTheDefinitionOnTextsOfLookAlikeBytes) {
  const std::string alphabet = "aA@`\xE4\xC4\xE9\xC9 xX\n";
  uint32_t seed = 99;
  const auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  const auto plainFind = [](const std::string& text, const std::string& needle, bool fold,
                            size_t from) {
    for (size_t at = from; at + needle.size() <= text.size(); ++at) {
      size_t i = 0;
      while (i < needle.size() &&
             (fold ? TextMatcher::Fold(text[at + i]) == TextMatcher::Fold(needle[i])
                   : text[at + i] == needle[i])) {
        ++i;
      }
      if (i == needle.size()) return at;
    }
    return std::string::npos;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string text(next() % 90, ' ');
    for (char& c : text) c = alphabet[next() % alphabet.size()];
    std::string needle;
    if (round % 2 == 0 && !text.empty()) {
      // A piece of the text, its letters' case changed now and then.
      const size_t at = next() % text.size();
      needle = text.substr(at, 1 + next() % 40);
      for (char& c : needle) {
        if (next() % 4 == 0) c = static_cast<char>(c ^ 0x20);
      }
    } else {
      needle.resize(1 + next() % 6);
      for (char& c : needle) c = alphabet[next() % alphabet.size()];
    }
    const size_t from = text.empty() ? 0 : next() % text.size();
    for (bool fold : {false, true}) {
      const TextMatcher matcher(needle, fold);
      const size_t first = plainFind(text, needle, fold, 0);
      EXPECT_EQ(matcher.Matches(text), first != std::string::npos);
      EXPECT_EQ(matcher.Find(text), first)
          << "needle \"" << needle << "\" in \"" << text << "\", fold " << fold;
      EXPECT_EQ(matcher.Find(text, from), plainFind(text, needle, fold, from))
          << "from " << from << ": needle \"" << needle << "\" in \"" << text << "\"";
    }
  }
  EXPECT_TRUE(TextMatcher("", false).Matches(""));
  EXPECT_EQ(TextMatcher("", false).Find("abc", 3), 3u);
  EXPECT_EQ(TextMatcher("", false).Find("abc", 4), std::string::npos);
  EXPECT_FALSE(TextMatcher("ab", true).Matches("a"));
}

// One hit as a line: where, what and the other race.
std::string describe(const SearchHit& hit) {
  return hit.where.game + " " + std::to_string(hit.where.race) + " " +
         std::to_string(hit.where.turn) + " #" + std::to_string(hit.message.id) + " " +
         (hit.message.incoming ? "in " : "out ") + hit.otherRace;
}

class SearchTest : public ::testing::Test {
 protected:
  SearchTest() : archive(ArchiveLayout(ProgramDirectory(scratch.text()))) {
    // Stored out of order on purpose: games, races and turns come sorted.
    store("Beta", 11, 2401, {"peace in turn 2401"});
    store("Beta", 2, 2402, {"PEACE at last", "war"});
    store("Alpha", 2, 2410, {"\xC4rger mit den Zorgs"});
    store("Alpha", 2, 2400, {"Peace?", "peace!"});
  }

  // A turn of `race` with one system message and the player post `texts`:
  // incoming from the Zorgs (race 0), the last one outgoing to race 7,
  // which RACES.SAV does not name.
  void store(const std::string& game, int32_t race, int32_t turn,
             const std::vector<std::string>& texts) {
    auto current = testing_game::makeGame();
    current->SetGameName(game);
    current->SetRaceNumber(race);
    current->SetTurn(turn);
    testing_game::addRace(*current, 0, "Zorgs", kEnemy);
    AddMessageRow(*current, ("Turn report " + std::to_string(turn) + ": all peaceful").c_str(), 1, 1, -1);
    for (size_t i = 0; i < texts.size(); ++i) {
      const bool last = i + 1 == texts.size() && i > 0;
      const std::string text = last ? texts[i] : "FROM  Zorgs\r\nTO  you\r\n" + texts[i];
      AddMessageRow(*current, text.c_str(), static_cast<int32_t>(i) + 2, last ? 0 : 1, last ? 7 : -1);
    }
    ASSERT_NO_THROW(archive.SaveTurn(*current));
  }

  std::vector<std::string> search(SearchOptions options) {
    std::vector<std::string> hits;
    skipped.clear();
    SearchArchive(archive, options, [&](const SearchHit& hit) { hits.push_back(describe(hit)); },
                  [&](const std::string& path, const std::string& reason) {
                    skipped.push_back(path + ": " + reason);
                  });
    return hits;
  }

  testing_archive::ScratchDirectory scratch;
  TurnStore archive;
  std::vector<std::string> skipped;
};

TEST_F(SearchTest, HitsComeInArchiveOrderWithTheirRaces) {
  SearchOptions options;
  options.text = "eace";
  EXPECT_EQ(search(options), (std::vector<std::string>{
                                 "Alpha 2 2400 #1 in system",
                                 "Alpha 2 2400 #2 in Zorgs",
                                 "Alpha 2 2400 #3 out race 7",
                                 "Alpha 2 2410 #1 in system",
                                 "Beta 2 2402 #1 in system",
                                 "Beta 11 2401 #1 in system",
                                 "Beta 11 2401 #2 in Zorgs",
                             }));
  EXPECT_TRUE(skipped.empty());
}

TEST_F(SearchTest, SelectionsNarrowTheSearch) {
  SearchOptions options;
  options.text = "peace";
  options.ignoreCase = true;
  options.playerPostOnly = true;
  EXPECT_EQ(search(options).size(), 4u);

  options.turns.fromTurn = 2401;
  options.turns.toTurn = 2402;
  EXPECT_EQ(search(options),
            (std::vector<std::string>{"Beta 2 2402 #2 in Zorgs", "Beta 11 2401 #2 in Zorgs"}));
  options.turns.race = 11;
  EXPECT_EQ(search(options), (std::vector<std::string>{"Beta 11 2401 #2 in Zorgs"}));
  options.turns.game = "Alpha";
  EXPECT_TRUE(search(options).empty());

  SearchOptions umlaut;
  umlaut.text = "\xE4RGER";  // äRGER
  EXPECT_TRUE(search(umlaut).empty());
  umlaut.ignoreCase = true;
  EXPECT_EQ(search(umlaut), (std::vector<std::string>{"Alpha 2 2410 #2 in Zorgs"}));

  SearchOptions nothing;
  nothing.text = "surrender";
  EXPECT_TRUE(search(nothing).empty());
  EXPECT_TRUE(skipped.empty());
}

TEST_F(SearchTest, UnreadableFilesAreSkippedAndReported) {
  const std::string damaged = archive.Layout().TurnFile("Alpha", 2, 2400);
  writeFile(damaged, "SC\x01");
  writeFile(archive.Layout().TurnFile("Alpha", 2, 2405), std::string());  // empty
  SearchOptions options;
  options.text = "all peaceful";
  const std::vector<std::string> hits = search(options);
  EXPECT_EQ(hits.size(), 3u);  // 2410, 2402 and 2401
  EXPECT_EQ(hits.front(), "Alpha 2 2410 #1 in system");
  EXPECT_EQ(skipped, (std::vector<std::string>{damaged + ": damaged (invalid stream)",
                                                archive.Layout().TurnFile("Alpha", 2, 2405) +
                                                    ": damaged (invalid stream)"}));

  // Without RACES.SAV the races have numbers only.
  std::filesystem::remove(ToPath(archive.Layout().RaceFile("Beta")));
  options.text = "PEACE at";
  options.turns.game = "Beta";
  EXPECT_EQ(search(options), (std::vector<std::string>{"Beta 2 2402 #2 in race 0"}));
  // A missing RACES.SAV is called missing, not damaged.
  EXPECT_EQ(skipped, (std::vector<std::string>{archive.Layout().RaceFile("Beta") + ": no such file"}));
}

// The files are read ahead on a thread of their own: a caller whose output
// fails on the first hit gets its error at once, and the next search starts
// afresh.
TEST_F(SearchTest, AHitThatRaisesEndsTheSearch) {
  SearchOptions options;
  options.text = "eace";
  int seen = 0;
  const auto failing = [&](const SearchHit&) {
    ++seen;
    throw std::runtime_error("cannot write the output");
  };
  const auto ignored = [](const std::string&, const std::string&) {};
  EXPECT_THROW(SearchArchive(archive, options, failing, ignored), std::runtime_error);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(search(options).size(), 7u);
}

}  // namespace
