#include "archive/diplomacy_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "archive/test_archive.h"
#include "archive/turn_store.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"
#include "support/palette.h"

namespace {

using testing_archive::ScratchDirectory;

TEST(HtmlText, EveryByteOfTheCodePageBecomesTextHtmlAllows) {
  std::string out;
  AppendHtmlText(out, "a<b>&\"c\t\r\n");
  EXPECT_EQ(out, "a&lt;b&gt;&amp;&quot;c\t\r\n");
  out.clear();
  AppendHtmlText(out, "\x80\xE4\xDF\xFF");  // € ä ß ÿ
  EXPECT_EQ(out, "\xE2\x82\xAC\xC3\xA4\xC3\x9F\xC3\xBF");
  // Controls, DEL and the five bytes the code page leaves undefined are
  // no characters of a page: U+FFFD each.
  for (const char* odd : {"\x01", "\x1B", "\x7F", "\x81", "\x8D", "\x8F", "\x90", "\x9D"}) {
    out.clear();
    AppendHtmlText(out, odd);
    EXPECT_EQ(out, "\xEF\xBF\xBD") << static_cast<int>(static_cast<uint8_t>(odd[0]));
  }
  // Every byte gives valid UTF-8 without a bare markup character.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  out.clear();
  AppendHtmlText(out, all);
  EXPECT_EQ(out.find('<'), std::string::npos);
  EXPECT_EQ(out.find('>'), std::string::npos);
  EXPECT_EQ(out.find('"'), std::string::npos);
  for (size_t i = 0; i < out.size();) {
    const auto lead = static_cast<uint8_t>(out[i]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xE0 ? 3 : 2;
    ASSERT_TRUE(lead < 0x80 || (lead >= 0xC2 && lead <= 0xEF)) << i;
    for (size_t k = 1; k < length; ++k) {
      ASSERT_EQ(static_cast<uint8_t>(out[i + k]) & 0xC0, 0x80) << i;
    }
    i += length;
  }
  // Long texts go sixteen bytes at a time: they must give what their bytes
  // give one by one, wherever the bytes that need more stand.
  uint32_t seed = 7;
  const auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  const std::string alphabet = std::string("ab \t\n\r&<>\"\x01\x7F\x80\x81\xE4\xFF") + '\0';
  for (int round = 0; round < 500; ++round) {
    std::string text(next() % 80, ' ');
    for (char& c : text) c = next() % 3 == 0 ? alphabet[next() % alphabet.size()] : 'x';
    std::string whole, byByte;
    AppendHtmlText(whole, text);
    for (char c : text) AppendHtmlText(byByte, std::string_view(&c, 1));
    ASSERT_EQ(whole, byByte) << round;
  }
  EXPECT_EQ(CssColor(palette::kEnemy), "#ff0000");
  EXPECT_EQ(CssColor(palette::kRaces[0]), "#ff7fff");
}

// An archive of the Humans (race 0) of "Galaxy": three turns of post with
// the Zorgs (race 1), enemies in 2401, friends from 2402 on.
class ReportTest : public ::testing::Test {
 protected:
  ReportTest() : store(ArchiveLayout(ProgramDirectory(scratch.text()))) {
    save(2401, kEnemy, "We <demand> & insist.");
    save(2402, kFriend, "Peace, then.");
    save(2403, kFriend, "Trade?");
  }

  void save(int32_t turn, int32_t zorgs, const char* text) {
    auto game = testing_game::makeGame();
    game->SetGameName("Galaxy");
    game->SetRaceNumber(0);
    game->SetTurn(turn);
    testing_game::addRace(*game, 0, "Humans", kFriend);
    testing_game::addRace(*game, 1, "Zorgs", static_cast<Relation>(zorgs));
    testing_game::addRace(*game, 2, "Kaa", kNeutral);
    AddMessageRow(*game, "Turn report", 1, 1, -1);
    AddMessageRow(*game, (std::string("FROM  Zorgs\r\nTO  Humans\r\n") + text).c_str(), 2, 1, -1);
    AddMessageRow(*game, "Fine.", 3, 0, 1);
    ASSERT_NO_THROW(store.SaveTurn(*game));
  }

  std::string report(ReportSummary* summary = nullptr) {
    std::ostringstream out;
    const ReportSummary made = WriteDiplomacyReport(
        store, "Galaxy", 0, out,
        [&](const std::string& path, const std::string& reason) { skipped.push_back(path + ": " + reason); },
        [&](size_t done, size_t total) { progress.emplace_back(done, total); });
    if (summary) *summary = made;
    return out.str();
  }

  static bool has(const std::string& page, const std::string& part) {
    return page.find(part) != std::string::npos;
  }

  ScratchDirectory scratch;
  TurnStore store;
  std::vector<std::string> skipped;
  std::vector<std::pair<size_t, size_t>> progress;
};

TEST_F(ReportTest, ChartTotalsAndMessagesOfEveryTurn) {
  ReportSummary summary;
  const std::string page = report(&summary);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"en\">", 0), 0u);
  EXPECT_EQ(page.substr(page.size() - 8), "</html>\n");
  EXPECT_EQ(summary.turns, 3u);
  EXPECT_EQ(summary.messages, 9u);
  EXPECT_EQ(summary.turnsWithoutOwnRaces, 0u);
  EXPECT_FALSE(has(page, "relations-note"));
  EXPECT_TRUE(skipped.empty());

  // One row per other race, one cell per turn, coloured by that turn's
  // relation; the change from enemy to friend is marked.
  EXPECT_TRUE(has(page, "<rect class=\"cell\" x=\"170\" y=\"24\" width=\"40\" height=\"20\" "
                        "fill=\"#ff0000\" fill-opacity=\"0.9\" data-race=\"1\" data-turn=\"2401\" "
                        "data-in=\"1\" data-out=\"1\" data-relation=\"enemy\">"));
  EXPECT_TRUE(has(page, "<rect class=\"cell changed\" x=\"212\" y=\"24\" width=\"40\" height=\"20\" "
                        "fill=\"#00ff00\" fill-opacity=\"0.9\" stroke=\"#ffffff\" stroke-width=\"2\" "
                        "data-race=\"1\" data-turn=\"2402\""));
  EXPECT_TRUE(has(page, "data-race=\"1\" data-turn=\"2403\" data-in=\"1\" data-out=\"1\" "
                        "data-relation=\"friend\">"));
  EXPECT_TRUE(has(page, "fill=\"#aaaaaa\" fill-opacity=\"0.3\" data-race=\"2\" data-turn=\"2401\" "
                        "data-in=\"0\" data-out=\"0\" data-relation=\"neutral\">"));
  EXPECT_FALSE(has(page, "data-race=\"0\" data-turn"));  // not the player's own race

  EXPECT_TRUE(has(page, "<tr data-race=\"1\"><td style=\"color:#ffff7f\">Zorgs</td><td class=\"n\">3"
                        "</td><td class=\"n\">3</td><td class=\"n\">2401</td><td class=\"n\">2403"
                        "</td></tr>"));
  EXPECT_TRUE(has(page, "<td class=\"n\">0</td><td class=\"n\">0</td><td class=\"n\">-</td>"));

  // The messages, headed as the window heads them, their texts escaped.
  EXPECT_TRUE(has(page, "<section class=\"turn\" id=\"turn-2402\" data-turn=\"2402\">"));
  EXPECT_TRUE(has(page, "--- System Message [1/3] ---"));
  EXPECT_TRUE(has(page, "--- Diplomatic Message [2/3] --- from: Zorgs ( Relation: Enemy )</h4>"
                        "<pre>We &lt;demand&gt; &amp; insist.</pre>"));
  EXPECT_TRUE(has(page, "--- Diplomatic Message [3/3] --- next turn outgoing to: Zorgs ( Relation: "
                        "Friend )"));
  EXPECT_TRUE(has(page, "<input id=\"search\" type=\"search\""));
  EXPECT_FALSE(has(page, "src=") || has(page, "href=\"http"));  // nothing fetched

  ASSERT_EQ(progress.size(), 6u);  // every turn read twice
  EXPECT_EQ(progress.back(), std::make_pair(size_t{6}, size_t{6}));
}

// Turns stored before the turns kept their own relations show those of
// RACES.SAV, and the page says so.
TEST_F(ReportTest, TurnsWithoutTheirOwnRelationsShowThoseOfRacesSav) {
  for (int32_t turn : {2401, 2402, 2403}) {
    std::filesystem::remove(ToPath(store.Layout().TurnRaceFile("Galaxy", 0, turn)));
  }
  ReportSummary summary;
  const std::string page = report(&summary);
  EXPECT_EQ(summary.turnsWithoutOwnRaces, 3u);
  EXPECT_TRUE(has(page, "<p id=\"relations-note\">3 of 3 turns were stored without"));
  EXPECT_TRUE(has(page, "data-turn=\"2401\" data-in=\"1\" data-out=\"1\" data-relation=\"friend\""));
  EXPECT_FALSE(has(page, "cell changed"));
}

TEST_F(ReportTest, AnUnreadableTurnIsReportedAndLeftOut) {
  testing_archive::writeFile(store.Layout().TurnFile("Galaxy", 0, 2402), "damaged");
  ReportSummary summary;
  const std::string page = report(&summary);
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_NE(skipped[0].find("2402.sav: damaged"), std::string::npos) << skipped[0];
  EXPECT_EQ(summary.skipped, 1);
  EXPECT_EQ(summary.turns, 2u);
  EXPECT_FALSE(has(page, "turn-2402"));
  EXPECT_TRUE(has(page, "turn-2403"));
}

}  // namespace
