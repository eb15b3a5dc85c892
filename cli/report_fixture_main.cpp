// vandor_report_fixture ROOT: writes the archive that the browser test
// reports on into ROOT (ROOT/DATA/...): the game "Orion" seen by the
// Terrans (race 0) over turns 2401 to 2406, with relations that change at
// known turns and messages that say known words.
//
//   Zorgs (1)      neutral in 2401 and 2402, enemy from 2403
//   Kaa (2)        friend throughout
//   Vlorrians (3)  neutral up to 2404, friend from 2405
//
// "Sirius" stands in four messages: from the Zorgs in 2401, 2402 and 2403,
// and to them in 2402.
#include <cstdio>
#include <string>

#include "archive/path_text.h"
#include "archive/turn_store.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"
#include "support/lexc.h"

namespace {

void saveTurn(const TurnStore& store, int32_t turn) {
  auto game = testing_game::makeGame();
  game->SetGameName("Orion");
  game->SetRaceNumber(0);
  game->SetTurn(turn);
  testing_game::addRace(*game, 0, "Terrans", kFriend);
  testing_game::addRace(*game, 1, "Zorgs", turn >= 2403 ? kEnemy : kNeutral);
  testing_game::addRace(*game, 2, "Kaa", kFriend);
  testing_game::addRace(*game, 3, "Vlorrians", turn >= 2405 ? kFriend : kNeutral);
  const std::string year = std::to_string(turn);
  AddMessageRow(*game, ("Production report for turn " + year + ":\r\nall quiet").c_str(), 1, 1, -1);
  if (turn <= 2403) {
    AddMessageRow(*game, ("FROM  Zorgs\r\nTO  Terrans\r\nYour fleet near Sirius, " + year + ".").c_str(),
                  2, 1, -1);
  }
  if (turn == 2402) AddMessageRow(*game, "Leave Sirius to us.", 3, 0, 1);
  AddMessageRow(*game, ("FROM  Kaa\r\nTO  Terrans\r\nGreetings in " + year + ".").c_str(), 4, 1, -1);
  if (turn == 2405) {
    AddMessageRow(*game, "Friends now, <b>truly</b> & \xE4 \x80 \"quoted\".", 5, 0, 3);
  }
  store.SaveTurn(*game);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vandor_report_fixture ROOT\n");
    return 2;
  }
  std::string root = argv[1];
  if (root.empty() || root.back() != kPathSeparator) root += kPathSeparator;
  try {
    const TurnStore store{ArchiveLayout(ProgramDirectory(root))};
    for (int32_t turn = 2401; turn <= 2406; ++turn) saveTurn(store, turn);
  } catch (const LExc_Base& e) {
    std::fprintf(stderr, "vandor_report_fixture: %s\n", e.text().c_str());
    return 1;
  }
  return 0;
}
