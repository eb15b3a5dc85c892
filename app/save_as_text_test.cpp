#include "app/save_as_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/test_user_interface.h"
#include "archive/file_system.h"
#include "archive/archive_layout.h"
#include "archive/test_archive.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

using testing_archive::fileBytes;

TEST(SaveAsText, RecordBytes) {
  auto game = testing_game::makeGame();
  AddMessageRow(*game, "Hi", 1, 1, -1);
  CacheRow empty = game->MessageTable().templateRow();
  empty.setLong(MSGID, 2);
  game->MessageTable().appendRow(empty);
  const std::string text = MessagesAsText(game->MessageTable());
  EXPECT_EQ(text, "--- Message 1---\r\nHi--- \r\n\r\n--- Message 2---\r\n--- \r\n\r\n");
  EXPECT_EQ(text.size(), 54u);

  auto other = testing_game::makeGame();
  AddMessageRow(*other, "ends\r\n", -3, 1, -1);
  EXPECT_EQ(MessagesAsText(other->MessageTable()), "--- Message -3---\r\nends\r\n--- \r\n\r\n");
  EXPECT_EQ(MessagesAsText(CurrentGame().MessageTable()), "");
}

TEST(SaveAsText, WritesTheChosenFileOrSaysWhyNot) {
  testing_archive::ScratchDirectory scratch;
  testing_ui::ScriptedUi ui;
  auto game = testing_game::makeGame();
  AddMessageRow(*game, "Hi", 1, 1, -1);

  SaveMessagesAsText(*game, ui, FileSystem::Default());  // cancelled: nothing happens
  EXPECT_TRUE(ui.errors.empty());

  ui.savePath = scratch.text() + "out.txt";
  testing_archive::writeFile(ui.savePath, std::string(500, 'x'));
  SaveMessagesAsText(*game, ui, FileSystem::Default());
  EXPECT_EQ(fileBytes(ui.savePath), MessagesAsText(game->MessageTable()));
  EXPECT_TRUE(ui.errors.empty());

  ui.savePath = scratch.text() + "missing" + kPathSeparator + "out.txt";
  SaveMessagesAsText(*game, ui, FileSystem::Default());
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_NE(ui.errors[0].find("\"" + ui.savePath + "\""), std::string::npos);
  EXPECT_FALSE(testing_archive::exists(ui.savePath));
  EXPECT_EQ(testing_archive::temporaryFiles(scratch.text()), 0);
}

TEST(DebugDump, BothTablesOneAfterTheOther) {
  testing_archive::ScratchDirectory scratch;
  auto game = testing_game::makeGame();
  testing_game::addRace(*game, 0, "Humans", kFriend);
  AddMessageRow(*game, "Hi", 1, 1, -1);
  const std::string path = scratch.text() + "vandormsg.log";
  testing_archive::writeFile(path, std::string(5000, 'x'));
  OnDebugDump(*game, path);
  std::string dump = fileBytes(path);
  dump.erase(std::remove(dump.begin(), dump.end(), '\r'), dump.end());  // text-file line ends
  EXPECT_EQ(dump.rfind("\nRACNO\tRACNAMSING\t", 0), 0u);
  EXPECT_NE(dump.find("\n\nTURN\tMSGID\t"), std::string::npos);
  EXPECT_NE(dump.find("\t08.12.2026 - 04:05:09\t\n"), std::string::npos);
  EXPECT_EQ(dump.find('x'), std::string::npos);

  OnDebugDump(*game, scratch.text() + "missing" + kPathSeparator + "x.log");  // quietly nothing
}

TEST(DebugDump, GoesBesideTheProgramWhereItsFileCannotBeWritten) {
  testing_archive::ScratchDirectory scratch;
  auto game = testing_game::makeGame();
  testing_game::addRace(*game, 0, "Humans", kFriend);
  const ArchiveLayout layout{ProgramDirectory(scratch.text())};
  const std::string beside = DumpFileBesideTheProgram(layout);
  EXPECT_EQ(beside, scratch.text() + "vandormsg.log");  // beside DATA, not in it

  // The fixed file's folder cannot be written: the dump goes beside the
  // program instead, and still says nothing.
  const std::string unwritable = scratch.text() + "no such folder" + kPathSeparator + "vandormsg.log";
  OnDebugDump(*game, unwritable, beside);
  EXPECT_NE(fileBytes(beside).find("RACNO\tRACNAMSING\t"), std::string::npos);
  EXPECT_FALSE(testing_archive::exists(unwritable));

  // Where the fixed file can be written, that is where it goes.
  const std::string fixed = scratch.text() + "fixed.log";
  testing_archive::writeFile(beside, "old");
  OnDebugDump(*game, fixed, beside);
  EXPECT_NE(fileBytes(fixed).find("RACNO"), std::string::npos);
  EXPECT_EQ(fileBytes(beside), "old");
}

}  // namespace
