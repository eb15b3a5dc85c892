#include "sim/data_generator.h"

#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "reader/message_classifier.h"

namespace {

const char* const kWords[] = {"fleet",  "sector", "peace", "treaty", "war",     "ships",
                              "trade",  "ore",    "we",    "you",    "demand",  "offer",
                              "colony", "Sirius", "Vega",  "turn",   "council", "\xFC" "ber"};
const char* const kRaces[] = {"Terrans",  "Zorgs",    "Kaa Tor",  "Vlorrians", "Menschen", "Ixi",
                              "Orionids", "Quellans", "Brakka",   "Sylphs",    "Drogh",    "Nemen",
                              "Tarsi",    "Ulmar",    "Whirrs",   "Yssa"};

}  // namespace

std::string DataGenerator::RaceName(int race) { return kRaces[race % kRaceCount]; }

std::string DataGenerator::Text() {
  const int length = Between(40, 2000);
  std::string text;
  text.reserve(static_cast<size_t>(length) + 16);
  int lineLength = 0;
  while (static_cast<int>(text.size()) < length) {
    if (lineLength > 60) {
      text += "\r\n";
      lineLength = 0;
    }
    const std::string word = kWords[Between(0, 17)];
    text += word + ' ';
    lineLength += static_cast<int>(word.size()) + 1;
  }
  text.resize(static_cast<size_t>(length));
  return text;
}

void DataGenerator::AddRaces(CurrentGame& game) {
  DefineTableColumns(game, game.RaceTable());
  for (int race = 0; race < kRaceCount; ++race) {
    CacheRow row = game.RaceTable().templateRow();
    row.setLong(RACNO, race);
    row.setString(RACNAMSING, RaceName(race).substr(0, RaceName(race).size() - 1));
    row.setString(RACNAMPLU, RaceName(race));
    row.setLong(RACRELATION, race % 3);
    row.setTimestamp(RACHROWID, game.RowClock().now());
    game.RaceTable().appendRow(row);
  }
}

void DataGenerator::AddMessages(CurrentGame& game, int32_t turn, int count) {
  game.SetTurn(turn);
  for (int id = 1; id <= count; ++id) {
    const int kind = Between(0, 5);  // 0, 1: player post; the rest system messages
    if (kind == 0) {
      const std::string text = "FROM  " + RaceName(Between(0, kRaceCount - 1)) + "\r\nTO  you\r\n" + Text();
      AddMessageRow(game, text.c_str(), id, 1, -1);
    } else if (kind == 1) {
      AddMessageRow(game, Text().c_str(), id, 0, Between(0, kRaceCount - 1));
    } else {
      AddMessageRow(game, Text().c_str(), id, 1, -1);
    }
  }
}

void DataGenerator::MakeTurns(const std::string& gameName, int turns, int perTurn,
                              const std::function<void(const CurrentGame&)>& store) {
  CurrentGame game;
  AddRaces(game);
  game.SetGameName(gameName);
  game.SetRaceNumber(3);
  for (int turn = 0; turn < turns; ++turn) {
    DefineTableColumns(game, game.MessageTable());
    AddMessages(game, kFirstTurn + turn, perTurn);
    store(game);
  }
}

Scenario DataGenerator::MakeScenario(int incoming) {
  Scenario scenario;
  scenario.title = "Vandor! - Benchmark - Terran - Emperor m1";
  scenario.recipients.push_back("(no recipient)");
  for (int race = 0; race < kRaceCount; ++race) scenario.recipients.push_back(RaceName(race));
  for (int race = 1; race < kRaceCount; ++race) scenario.relations.push_back({RaceName(race), race % 3});
  for (int i = 0; i < incoming; ++i) {
    scenario.incoming.push_back(i % 3 == 0 ? "FROM  " + RaceName(Between(1, kRaceCount - 1)) + "\r\nTO  you\r\n" + Text()
                                           : Text());
  }
  for (int i = 0; i < 8; ++i) scenario.outgoing.push_back({Between(1, kRaceCount), Text()});
  return scenario;
}
