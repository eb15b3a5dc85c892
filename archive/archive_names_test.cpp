#include "archive/archive_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ArchiveNames, OrdinaryGameNamesAreUsable) {
  for (const char* name : {"Galaxy", "Game 7", "\xC4rger im All", "a..b", "con game",
                           "COM", "LPT10", ".hidden", "x", "COM\xB4", "LPT\xBC"}) {
    EXPECT_TRUE(IsUsableGameName(name)) << name;
  }
}

TEST(ArchiveNames, NamesThatWouldLeaveDataOrFailAreRefused) {
  for (const char* name : {"", ".", "..", "..\\..\\Windows", "../etc", "a/b", "a\\b",
                           "C:games", "what?", "star*", "pipe|", "<x>", "quote\"",
                           "tab\there", "dot.", "blank ", "CON", "con", "Nul.txt",
                           "COM1", "lpt9", "AUX", "PRN.sav", "COM\xB9", "com\xB2", "LPT\xB3",
                           "lpt\xB9.txt", "line\nbreak"}) {
    EXPECT_FALSE(IsUsableGameName(name)) << name;
  }
}

TEST(ArchiveNames, RaceDirectoriesAreExactlyZeroToFifteen) {
  int32_t race = -1;
  EXPECT_TRUE(ParseRaceDirectory("0", &race));
  EXPECT_EQ(race, 0);
  EXPECT_TRUE(ParseRaceDirectory("3", &race));
  EXPECT_EQ(race, 3);
  EXPECT_TRUE(ParseRaceDirectory("12", &race));
  EXPECT_EQ(race, 12);
  EXPECT_TRUE(ParseRaceDirectory("15", &race));
  EXPECT_EQ(race, 15);
  for (const char* name : {"16", "x", "x1", "1x", "03", "-1", "+3", " 3", ""}) {
    EXPECT_FALSE(ParseRaceDirectory(name, &race)) << name;
  }
  EXPECT_EQ(race, 15);
}

TEST(ArchiveNames, TurnFilesAreNumberedSavFiles) {
  int32_t turn = -1;
  EXPECT_TRUE(ParseTurnFile("2401.sav", &turn));
  EXPECT_EQ(turn, 2401);
  // Only the name the store writes for a turn: another spelling would list
  // a turn twice, or one whose file the store does not open.
  for (const char* name : {"notes.sav", ".sav", "2401.txt", "2401.sav.tmp", "24x1.sav",
                           "1234567890.sav", "sav", "RACES.SAV", "2399.sav", "12.sav", "0.sav",
                           "2402.SAV", "2402.Sav", "2403.old.sav", "02402.sav", "+2402.sav",
                           " 2402.sav", "2402 .sav", "2402.sav "}) {
    EXPECT_FALSE(ParseTurnFile(name, &turn)) << name;
  }
}

TEST(ArchiveNames, TurnFilesHoldEveryGameTurnAndNoOther) {
  // A turn is listed again exactly when it may be stored: the names "%d.sav"
  // writes for the game's first and last turns are turns, those beyond are not.
  for (int32_t stored : {kFirstTurn, 2401, 123456789, kLastTurn}) {
    int32_t turn = -1;
    EXPECT_TRUE(IsGameTurn(stored)) << stored;
    EXPECT_TRUE(ParseTurnFile(std::to_string(stored) + ".sav", &turn)) << stored;
    EXPECT_EQ(turn, stored);
  }
  for (int32_t beyond : {kFirstTurn - 1, kLastTurn + 1, 2147483647}) {
    int32_t turn = -1;
    EXPECT_FALSE(IsGameTurn(beyond)) << beyond;
    EXPECT_FALSE(ParseTurnFile(std::to_string(beyond) + ".sav", &turn)) << beyond;
    EXPECT_EQ(turn, -1);
  }
  int32_t turn = -1;
  for (const char* name : {"0999999999.sav", "0000002401.sav", "99999999999.sav",
                           "4294967297.sav", "99999999999999999999.sav"}) {
    EXPECT_FALSE(ParseTurnFile(name, &turn)) << name;
  }
  EXPECT_EQ(turn, -1);
}

}  // namespace
