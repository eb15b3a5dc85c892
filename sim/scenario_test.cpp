#include "sim/scenario.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

Scenario parse(const std::string& text) {
  std::istringstream in(text);
  return ParseScenario(in);
}

void expectError(const std::string& text, const std::string& message) {
  try {
    parse(text);
    ADD_FAILURE() << "no error for " << text;
  } catch (const ScenarioError& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}

TEST(Scenario, SamplesLoad) {
  const Scenario english = LoadScenario(VANDOR_SCENARIO_DIR "/english.scenario");
  EXPECT_EQ(english.language, Scenario::Language::kEnglish);
  EXPECT_EQ(english.title, "Vandor! - Andromeda - Terran - Emperor Vance m2");
  EXPECT_EQ(english.recipients.size(), 5u);
  EXPECT_EQ(english.incoming.size(), 6u);
  EXPECT_EQ(english.outgoing.size(), 3u);
  EXPECT_EQ(english.incoming[1],
            "FROM  Zorgs\r\nTO  Terrans\r\nYour fleet near Sirius has been noticed.\r\n"
            "We demand its withdrawal within two turns.");

  // The German sample is UTF-8: its umlauts arrive in code page 1252.
  const Scenario german = LoadScenario(VANDOR_SCENARIO_DIR "/german.scenario");
  EXPECT_EQ(german.language, Scenario::Language::kGerman);
  EXPECT_EQ(german.title, "Vandor! - Milchstra\xDF" "e - Mensch - Kaiserin R\xFC" "hl m1");
  EXPECT_EQ(german.relations[2].relation, Scenario::kNoRelation);
}

TEST(Scenario, BlocksRelationsAndSwitches) {
  const Scenario s = parse(
      "# comment\r\n"
      "title T - a - b - c m1\r\n"
      "language german\n"
      "relations\nZorg = enemy\nOne = Two = friend\n.\n"
      "incoming\n..\n.dotted\n\n{repeat 3 ab}!\n.\n"
      "outgoing 12\nhi\n.\n"
      "no-combo\ndialog-after 2\ndialog-hidden 3\nno-button neutral\nnext-never-disabled\n"
      "vanish-after 7\nentries-grow 30\nlist-without-strings\n");
  EXPECT_EQ(s.relations[1].name, "One = Two");
  EXPECT_EQ(s.relations[1].relation, 0);
  EXPECT_EQ(s.incoming[0], ".\r\ndotted\r\n\r\nababab!");
  EXPECT_EQ(s.outgoing[0].recipient, 12);
  EXPECT_TRUE(s.noCombo);
  EXPECT_EQ(s.dialogAfterWaits, 2);
  EXPECT_EQ(s.dialogHiddenWaits, 3);
  EXPECT_TRUE(s.noNeutralButton);
  EXPECT_TRUE(s.nextNeverDisabled);
  EXPECT_FALSE(s.prevNeverDisabled);
  EXPECT_EQ(s.vanishAfterKeys, 7);
  EXPECT_EQ(s.entryGrowth, 30);
  EXPECT_TRUE(s.listWithoutStrings);
  EXPECT_EQ(s.stopAnsweringAfterKeys, -1);
  EXPECT_EQ(parse("title x\nrecipients\n{repeat 150 N}\n.\n").recipients[0], std::string(150, 'N'));
  // Code page 1252 bytes that are not UTF-8 stay as they are.
  EXPECT_EQ(parse("title R\xFC" "ck\n").title, "R\xFC" "ck");
}

TEST(Scenario, MistakesNameTheirLine) {
  expectError("title x\nlanguage klingon\n", "line 2: unknown language \"klingon\"");
  expectError("title x\n\nincoming\nno end\n", "line 3: block not ended by a line \".\"");
  expectError("title x\nrelations\nZorg enemy\n.\n", "line 3: relation line without \" = \"");
  expectError("title x\nrelations\nZorg = hostile\n.\n", "line 3: unknown relation \"hostile\"");
  expectError("title x\noutgoing two\n", "line 2: \"two\" is not a number");
  expectError("title x\nno-combo please\n", "line 2: unknown line \"no-combo please\"");
  expectError("recipients\n.\n", "line 2: no title given");
  expectError("title x\nentries-grow 4097\n", "line 2: entries-grow takes at most 4096");
  EXPECT_THROW(LoadScenario("no/such/file.scenario"), ScenarioError);
}

}  // namespace
