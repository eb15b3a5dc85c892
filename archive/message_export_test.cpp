#include "archive/message_export.h"

#include <gtest/gtest.h>

#include <sstream>

#include "archive/turn_store.h"
#include "archive/test_archive.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

ExportRecord playerPost() {
  ExportRecord record;
  record.turn = 2401;
  record.id = 3;
  record.playerPost = true;
  record.incoming = true;
  record.race = 1;
  record.raceName = "Zorgs";
  record.relation = "enemy";
  return record;
}

std::string written(ExportFormat format, const ExportRecord& record) {
  std::ostringstream out;
  WriteExportRecord(format, record, out);
  return out.str();
}

TEST(ExportRecords, CsvQuotesWhatNeedsIt) {
  std::ostringstream header;
  WriteExportHeader(ExportFormat::kCsv, header);
  EXPECT_EQ(header.str(), "turn,id,type,direction,race number,race name,relation,text\r\n");

  ExportRecord record = playerPost();
  record.text = "plain text";
  EXPECT_EQ(written(ExportFormat::kCsv, record),
            "2401,3,player,incoming,1,Zorgs,enemy,plain text\r\n");
  record.raceName = "Kaa, Tor";
  record.text = "He said \"no\",\r\nthen left.\nBye\r";
  EXPECT_EQ(written(ExportFormat::kCsv, record),
            "2401,3,player,incoming,1,\"Kaa, Tor\",enemy,"
            "\"He said \"\"no\"\",\r\nthen left.\nBye\r\"\r\n");

  // Code page 1252 stays as it is; a system message has no race.
  ExportRecord system;
  system.turn = 2400;
  system.id = 1;
  system.text = "\xC4rger";
  EXPECT_EQ(written(ExportFormat::kCsv, system), "2400,1,system,outgoing,,,,\xC4rger\r\n");
}

// Race names are chosen by other players: a field a spreadsheet would
// evaluate gets a leading apostrophe in CSV, and stays exact in JSON.
TEST(ExportRecords, CsvNeutralisesWhatASpreadsheetWouldEvaluate) {
  ExportRecord record = playerPost();
  record.raceName = "=HYPERLINK(\"http://evil.example/\",\"Zorgs\")";
  record.text = "@SUM(A1:A9)";
  EXPECT_EQ(written(ExportFormat::kCsv, record),
            "2401,3,player,incoming,1,\"'=HYPERLINK(\"\"http://evil.example/\"\",\"\"Zorgs\"\")\","
            "enemy,'@SUM(A1:A9)\r\n");
  for (const char* field : {"+1+1", "-2", "=cmd|' /C calc'!A0", "\tx", "\rx"}) {
    record.raceName = field;
    record.text = "ok";
    const std::string line = written(ExportFormat::kCsv, record);
    const size_t start = std::string("2401,3,player,incoming,1,").size();
    EXPECT_TRUE(line.compare(start, 1, "'") == 0 || line.compare(start, 2, "\"'") == 0)
        << field << ": " << line;
  }
  record.raceName = "Zorgs = enemies";  // only the first character counts
  record.text = "a - b";
  EXPECT_EQ(written(ExportFormat::kCsv, record),
            "2401,3,player,incoming,1,Zorgs = enemies,enemy,a - b\r\n");
  record.raceName = "=1+1";
  EXPECT_NE(written(ExportFormat::kJsonLines, record).find("\"race_name\":\"=1+1\""),
            std::string::npos);
}

TEST(ExportRecords, JsonLinesInUtf8) {
  ExportRecord record = playerPost();
  record.text = "Gr\xFC\xDF" "e \"Zorg\"\\\r\n\x01\x80";
  EXPECT_EQ(written(ExportFormat::kJsonLines, record),
            "{\"turn\":2401,\"id\":3,\"type\":\"player\",\"direction\":\"incoming\","
            "\"race_number\":1,\"race_name\":\"Zorgs\",\"relation\":\"enemy\","
            "\"text\":\"Gr\xC3\xBC\xC3\x9F" "e \\\"Zorg\\\"\\\\\\r\\n\\u0001\xE2\x82\xAC\"}\n");
  ExportRecord unknown = playerPost();
  unknown.race.reset();
  unknown.raceName.clear();
  unknown.relation.clear();
  unknown.incoming = false;
  EXPECT_EQ(written(ExportFormat::kJsonLines, unknown),
            "{\"turn\":2401,\"id\":3,\"type\":\"player\",\"direction\":\"outgoing\","
            "\"race_number\":null,\"race_name\":null,\"relation\":null,\"text\":\"\"}\n");
  std::ostringstream header;
  WriteExportHeader(ExportFormat::kJsonLines, header);
  EXPECT_EQ(header.str(), "");
}

class ExportTest : public ::testing::Test {
 protected:
  ExportTest() : archive(ArchiveLayout(ProgramDirectory(scratch.text()))) {
    store(2402, "second");
    store(2400, "first");
  }

  void store(int32_t turn, const std::string& word) {
    auto game = testing_game::makeGame();
    game->SetGameName("Galaxy");
    game->SetRaceNumber(2);
    game->SetTurn(turn);
    testing_game::addRace(*game, 0, "Zorgs", kEnemy);
    testing_game::addRace(*game, 1, "Kaa Tor", kFriend);
    AddMessageRow(*game, ("Report " + word).c_str(), 1, 1, -1);
    AddMessageRow(*game, ("FROM  Zorgs\r\nTO  you\r\n" + word).c_str(), 2, 1, -1);
    AddMessageRow(*game, ("to Kaa " + word).c_str(), 3, 0, 1);
    ASSERT_NO_THROW(archive.SaveTurn(*game));
  }

  std::string exported(bool all, ExportFormat format) {
    std::ostringstream out;
    skipped.clear();
    ExportMessages(archive, "Galaxy", 2, all, format, out,
                   [&](const std::string& path, const std::string&) { skipped.push_back(path); });
    return out.str();
  }

  testing_archive::ScratchDirectory scratch;
  TurnStore archive;
  std::vector<std::string> skipped;
};

TEST_F(ExportTest, EveryTurnAscendingPlayerPostUnlessAllMessages) {
  EXPECT_EQ(exported(false, ExportFormat::kCsv),
            "turn,id,type,direction,race number,race name,relation,text\r\n"
            "2400,2,player,incoming,0,Zorgs,enemy,first\r\n"
            "2400,3,player,outgoing,1,Kaa Tor,friend,to Kaa first\r\n"
            "2402,2,player,incoming,0,Zorgs,enemy,second\r\n"
            "2402,3,player,outgoing,1,Kaa Tor,friend,to Kaa second\r\n");
  const std::string all = exported(true, ExportFormat::kJsonLines);
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 6);
  EXPECT_EQ(all.substr(0, all.find('\n')),
            "{\"turn\":2400,\"id\":1,\"type\":\"system\",\"direction\":\"incoming\","
            "\"race_number\":null,\"race_name\":null,\"relation\":null,\"text\":\"Report first\"}");
  EXPECT_TRUE(skipped.empty());
}

TEST_F(ExportTest, UnreadableTurnsAreLeftOutAndReported) {
  testing_archive::writeFile(archive.Layout().TurnFile("Galaxy", 2, 2400), "not a table");
  const std::string csv = exported(false, ExportFormat::kCsv);
  EXPECT_EQ(csv.find("2400,"), std::string::npos);
  EXPECT_NE(csv.find("2402,3,"), std::string::npos);
  EXPECT_EQ(skipped, std::vector<std::string>{archive.Layout().TurnFile("Galaxy", 2, 2400)});
}

}  // namespace
