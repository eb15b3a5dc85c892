#include "app/stored_turns.h"

#include <gtest/gtest.h>

#include "app/test_user_interface.h"
#include "archive/faulty_file_system.h"
#include "archive/memory_file_system.h"
#include "archive/turn_store.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

class StoredTurnsTest : public ::testing::Test {
 protected:
  StoredTurnsTest()
      : faulty(memory),
        store(ArchiveLayout(ProgramDirectory(std::string("M:") + kPathSeparator)), faulty),
        game(testing_game::makeGame()) {
    game->SetGameName("Galaxy");
    game->SetRaceNumber(2);
    game->SetTurn(2401);
    testing_game::addRace(*game, 0, "Humans", kFriend);
    AddMessageRow(*game, "Turn report", 1, 1, -1);
  }

  MemoryFileSystem memory;
  FaultyFileSystem faulty;
  TurnStore store;
  std::unique_ptr<CurrentGame> game;
  testing_ui::ScriptedUi ui;
};

TEST_F(StoredTurnsTest, SuccessSaysNothing) {
  EXPECT_TRUE(SaveTurnOrSay(store, ui, *game));
  EXPECT_TRUE(ExportTurnTextOrSay(store, ui, *game));
  CurrentGame loaded;
  EXPECT_TRUE(LoadTurnOrSay(store, ui, loaded, "Galaxy", -1, -1));
  EXPECT_EQ(loaded.Turn(), 2401);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(ui.waits, 1);  // the load, under the wait cursor
  EXPECT_EQ(ui.waiting, 0);
}

TEST_F(StoredTurnsTest, AFailedLoadIsShownOnceInTheProgramsWords) {
  CurrentGame loaded;
  EXPECT_FALSE(LoadTurnOrSay(store, ui, loaded, "..", 2, 2401));
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0],
            "Error while loading sav files. Details: \r\n Type: LExc_Internal_BadArg\r\n"
            "Text: game name \"..\" cannot be used as a directory name\r\n"
            "File: archive/game_archive\r\nLine: 112");
  EXPECT_EQ(loaded.GameName(), "");
  EXPECT_EQ(loaded.Turn(), 0);
  EXPECT_EQ(ui.waiting, 0);

  EXPECT_FALSE(LoadTurnOrSay(store, ui, loaded, "Nowhere", 2, 2401));  // no RACES.SAV
  ASSERT_EQ(ui.errors.size(), 2u);
  EXPECT_EQ(ui.errors[1].rfind(std::string(kLoadError) + "Type: LExc_Internal_Unexpected\r\n"
                               "Text: invalid stream", 0),
            0u)
      << ui.errors[1];
}

TEST_F(StoredTurnsTest, FailedWritesAreShownAndReportedAsFailures) {
  faulty.FailNth(1);  // DATA cannot be made
  EXPECT_FALSE(SaveTurnOrSay(store, ui, *game));
  faulty.FailNth(1);
  EXPECT_FALSE(ExportTurnTextOrSay(store, ui, *game));
  ASSERT_EQ(ui.errors.size(), 2u);
  for (const std::string& error : ui.errors) {
    EXPECT_EQ(error.rfind(std::string(kSaveError) + "Type: LExc_Internal_Unexpected\r\n"
                          "Text: cannot create directory",
                          0),
              0u)
        << error;
  }
  EXPECT_TRUE(memory.Files().empty());
}

}  // namespace
