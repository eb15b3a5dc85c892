// Generated, realistic game data for the benchmarks and the load tests,
// the same for the same seed: 16 races with names, turns of messages of which about a third is
// player post, texts of 40 to 2,000 bytes with CR LF line breaks.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "sim/scenario.h"

class CurrentGame;

class DataGenerator {
 public:
  explicit DataGenerator(uint32_t seed) : random_(seed) {}

  // A message body of 40 to 2,000 bytes: words and CR LF line breaks.
  std::string Text();
  // The 16 races, with names and relations, as a capture leaves them.
  void AddRaces(CurrentGame& game);
  // `count` messages of turn `turn` as a capture classifies them: about a
  // third player post (incoming and outgoing), the rest system messages.
  void AddMessages(CurrentGame& game, int32_t turn, int count);
  // Makes `turns` turns (2400 on) of `perTurn` messages for race 3 of
  // `gameName`, one after the other, and hands each to `store` (which
  // saves it, for an archive to read back).
  void MakeTurns(const std::string& gameName, int turns, int perTurn,
                 const std::function<void(const CurrentGame&)>& store);
  // A scenario of `incoming` incoming messages and a few outgoing ones.
  Scenario MakeScenario(int incoming);

  static std::string RaceName(int race);

 private:
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::mt19937 random_;
};
