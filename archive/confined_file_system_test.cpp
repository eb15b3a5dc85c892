#include "archive/confined_file_system.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "archive/path_text.h"
#include "archive/test_archive.h"

namespace {

using testing_archive::ScratchDirectory;
using testing_archive::writeFile;

TEST(ConfinedFileSystem, KeepsToItsFolder) {
  ScratchDirectory scratch;
  const std::string root = scratch.text() + "root" + kPathSeparator;
  std::filesystem::create_directories(ToPath(root + "game"));
  writeFile(root + "game" + kPathSeparator + "2401.sav", "x");
  writeFile(scratch.text() + "rootless", "y");  // beside the root, its name starting the same
  ConfinedFileSystem files(FileSystem::Default(), root);
  EXPECT_TRUE(files.Inside(root));
  EXPECT_TRUE(files.Inside(root + "game" + kPathSeparator + "2401.sav"));
  EXPECT_TRUE(files.Inside(root + "missing"));
  EXPECT_FALSE(files.Inside(root + ".." + kPathSeparator + "rootless"));
  EXPECT_FALSE(files.Inside(scratch.text() + "rootless"));
  EXPECT_EQ(files.Kind(scratch.text() + "rootless"), PathKind::kNone);
  EXPECT_EQ(files.OpenRead(scratch.text() + "rootless"), nullptr);
  EXPECT_NE(files.OpenRead(root + "game" + kPathSeparator + "2401.sav"), nullptr);
  std::vector<DirectoryEntry> entries;
  EXPECT_FALSE(files.List(scratch.text(), &entries));
  EXPECT_TRUE(entries.empty());
}

#ifndef _WIN32
TEST(ConfinedFileSystem, LinksOutAreLeftOutAndFifosAreNoFiles) {
  ScratchDirectory scratch;
  const std::string root = scratch.text() + "root" + kPathSeparator;
  std::filesystem::create_directories(ToPath(root + "game"));
  std::filesystem::create_directories(ToPath(scratch.text() + "far"));
  writeFile(scratch.text() + "far" + kPathSeparator + "2401.sav", "far");
  std::filesystem::create_directory_symlink(ToPath(scratch.text() + "far"), ToPath(root + "linked"));
  std::filesystem::create_directory_symlink(ToPath(root + "game"), ToPath(root + "alias"));
  ASSERT_EQ(mkfifo(ToPath(root + "game" + kPathSeparator + "2407.sav").c_str(), 0600), 0);

  ConfinedFileSystem files(FileSystem::Default(), root);
  std::vector<DirectoryEntry> entries;
  ASSERT_TRUE(files.List(root, &entries));
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"alias", "game"}));
  EXPECT_EQ(files.OpenRead(root + "linked" + kPathSeparator + "2401.sav"), nullptr);
  EXPECT_EQ(files.Kind(root + "linked"), PathKind::kNone);

  // A FIFO is no file to read: asked for, it answers at once.
  const std::string fifo = root + "game" + kPathSeparator + "2407.sav";
  EXPECT_EQ(FileSystem::Default().Kind(fifo), PathKind::kOther);
  EXPECT_EQ(FileSystem::Default().OpenRead(fifo), nullptr);
  EXPECT_EQ(files.OpenRead(fifo), nullptr);
}

// Each folder is resolved once; the entries in it are looked at every time.
TEST(ConfinedFileSystem, AnEntryThatBecomesALinkOutIsLeftOut) {
  ScratchDirectory scratch;
  const std::string root = scratch.text() + "root" + kPathSeparator;
  const std::string game = root + "game" + kPathSeparator;
  std::filesystem::create_directories(ToPath(game));
  writeFile(game + "2401.sav", "here");
  writeFile(scratch.text() + "secret", "far");
  ConfinedFileSystem files(FileSystem::Default(), root);
  ASSERT_NE(files.OpenRead(game + "2401.sav"), nullptr);

  std::filesystem::remove(ToPath(game + "2401.sav"));
  std::filesystem::create_symlink(ToPath(scratch.text() + "secret"), ToPath(game + "2401.sav"));
  EXPECT_EQ(files.OpenRead(game + "2401.sav"), nullptr);
  EXPECT_EQ(files.Kind(game + "2401.sav"), PathKind::kNone);
  std::vector<DirectoryEntry> entries;
  ASSERT_TRUE(files.List(game, &entries));
  EXPECT_TRUE(entries.empty());
  // Ways out through the names of a folder already looked at.
  EXPECT_FALSE(files.Inside(game + ".." + kPathSeparator + ".." + kPathSeparator + "secret"));
  EXPECT_TRUE(files.Inside(game + ".." + kPathSeparator + "game"));
  // Where a link leads back in, it is inside.
  std::filesystem::create_symlink(ToPath(game + "2401.sav"), ToPath(game + "again.sav"));
  std::filesystem::remove(ToPath(game + "2401.sav"));
  writeFile(game + "2401.sav", "here again");
  EXPECT_TRUE(files.Inside(game + "again.sav"));
}
#endif

}  // namespace
