#include "archive/file_group_writer.h"

#include <gtest/gtest.h>

#include "archive/faulty_file_system.h"
#include "archive/test_archive.h"
#include "support/lexc.h"

namespace {

using testing_archive::fileBytes;
using testing_archive::ScratchDirectory;
using testing_archive::temporaryFiles;
using testing_archive::writeFile;

class FileGroupWriterTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return scratch.text() + name; }
  ScratchDirectory scratch;
};

TEST_F(FileGroupWriterTest, ReplacesAllFilesOnceAllAreWritten) {
  writeFile(path("a"), "old a");
  FileGroupWriter files(FileSystem::Default());
  files.Add(path("a"), [](std::ostream& out) { out << "new a"; });
  files.Add(path("b"), [](std::ostream& out) { out << "new b"; });
  files.Commit();
  EXPECT_EQ(fileBytes(path("a")), "new a");
  EXPECT_EQ(fileBytes(path("b")), "new b");
  EXPECT_EQ(temporaryFiles(scratch.text()), 0);
}

// The last file is replaced last, so a failure never puts it back: it is
// not copied aside. A report of hundreds of megabytes is then written
// once, not read and copied as well.
TEST_F(FileGroupWriterTest, OnlyTheFilesThatCouldBePutBackAreCopied) {
  writeFile(path("a"), "old a");
  writeFile(path("b"), "old b");
  const auto operations = [&](std::initializer_list<const char*> names) {
    FaultyFileSystem counted(FileSystem::Default());
    counted.FailNth(1 << 30);  // counts, fails nothing
    FileGroupWriter files(counted);
    for (const char* name : names) files.Add(path(name), [](std::ostream& out) { out << "new"; });
    files.Commit();
    return counted.Operations();
  };
  const int one = operations({"b"});
  const int two = operations({"a", "b"});
  EXPECT_EQ(fileBytes(path("a")), "new");
  EXPECT_EQ(fileBytes(path("b")), "new");
  // A second file costs its temporary file and rename, and the copy of
  // the first (its read, and the write of the copy).
  EXPECT_GT(two - one, 4);
  writeFile(path("b"), "old b");
  EXPECT_EQ(operations({"b"}), one);
  EXPECT_EQ(operations({"c"}), one);  // a new file: no more work than an old one
  EXPECT_EQ(temporaryFiles(scratch.text()), 0);
}

TEST_F(FileGroupWriterTest, AFailingContentLeavesEveryFileAlone) {
  writeFile(path("a"), "old a");
  writeFile(path("b"), "old b");
  FileGroupWriter files(FileSystem::Default());
  files.Add(path("a"), [](std::ostream& out) { out << "new a"; });
  files.Add(path("b"), [](std::ostream& out) {
    out << "half";
    throw LExc_Internal_Unexpected("broken", "test", 1);
  });
  EXPECT_THROW(files.Commit(), LExc_Internal_Unexpected);
  EXPECT_EQ(fileBytes(path("a")), "old a");
  EXPECT_EQ(fileBytes(path("b")), "old b");
  EXPECT_EQ(temporaryFiles(scratch.text()), 0);
}

TEST_F(FileGroupWriterTest, UnopenableAndUnreplaceableFiles) {
  FileGroupWriter unopenable(FileSystem::Default());
  unopenable.Add(path("missing-dir") + kPathSeparator + "a", [](std::ostream& out) { out << "x"; });
  try {
    unopenable.Commit();
    ADD_FAILURE() << "no exception";
  } catch (const LExc_Internal_Unexpected& e) {
    EXPECT_EQ(e.text(), "cannot write file \"" + path("missing-dir") + kPathSeparator + "a\"");
  }

  // A directory in the file's place cannot be replaced by a file.
  std::filesystem::create_directories(ToPath(path("taken") + kPathSeparator + "inside"));
  FileGroupWriter blocked(FileSystem::Default());
  blocked.Add(path("taken"), [](std::ostream& out) { out << "x"; });
  try {
    blocked.Commit();
    ADD_FAILURE() << "no exception";
  } catch (const LExc_Internal_Unexpected& e) {
    EXPECT_EQ(e.text(), "cannot replace file \"" + path("taken") + "\"");
  }
  EXPECT_EQ(temporaryFiles(scratch.text()), 0);
}

TEST_F(FileGroupWriterTest, AFailedRenamePutsTheReplacedFilesBack) {
  writeFile(path("a"), "old a");
  // The renames come last: the final operation is the rename of "b",
  // after "a" was replaced already.
  const auto commit = [&](FaultyFileSystem& faulty) {
    FileGroupWriter files(faulty);
    files.Add(path("a"), [](std::ostream& out) { out << "new a"; });
    files.Add(path("b"), [](std::ostream& out) { out << "new b"; });
    files.Commit();
  };
  FaultyFileSystem counting;
  counting.FailNth(1000);
  commit(counting);
  writeFile(path("a"), "old a");
  std::filesystem::remove(ToPath(path("b")));

  FaultyFileSystem faulty;
  faulty.FailNth(counting.Operations());
  EXPECT_THROW(commit(faulty), LExc_Internal_Unexpected);
  EXPECT_EQ(fileBytes(path("a")), "old a");
  EXPECT_FALSE(testing_archive::exists(path("b")));
  EXPECT_EQ(temporaryFiles(scratch.text()), 0);

  // When "a" cannot be put back either, its copy is all that is left of
  // the old version: it stays.
  faulty.FailNth(counting.Operations());
  faulty.FailToo(counting.Operations() + 1);
  EXPECT_THROW(commit(faulty), LExc_Internal_Unexpected);
  EXPECT_EQ(fileBytes(path("a")), "new a");
  const std::vector<std::string> copies = testing_archive::writerFiles(path("a"), ".old");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(fileBytes(copies[0]), "old a");
  EXPECT_FALSE(testing_archive::exists(path("b")));
  EXPECT_TRUE(testing_archive::writerFiles(path("a"), ".tmp").empty());
}

// Names an older writer took for its temporary files and copies may be
// the user's own files or folders: no commit, failed or not, touches them.
TEST_F(FileGroupWriterTest, TheUsersFilesBesideTheGroupSurviveEveryCommit) {
  writeFile(path("a"), "old a");
  writeFile(path("b"), "old b");
  const char* userFiles[] = {"a.tmp", "a.old", "b.tmp", "c.old"};
  const char* userFolders[] = {"b.old", "c.tmp"};
  for (const char* name : userFiles) writeFile(path(name), std::string("user ") + name);
  for (const char* name : userFolders) std::filesystem::create_directories(ToPath(path(name)));
  const auto expectUserFilesKept = [&](int n) {
    for (const char* name : userFiles) EXPECT_EQ(fileBytes(path(name)), std::string("user ") + name) << n;
    for (const char* name : userFolders) {
      EXPECT_TRUE(std::filesystem::is_directory(ToPath(path(name)))) << name << " " << n;
    }
  };

  FaultyFileSystem faulty;
  bool committed = false;
  for (int n = 1; n < 200 && !committed; ++n) {
    faulty.FailNth(n);
    FileGroupWriter files(faulty);
    for (const char* name : {"a", "b", "c"}) {
      files.Add(path(name), [name](std::ostream& out) { out << "new " << name; });
    }
    try {
      files.Commit();
      committed = true;
    } catch (const LExc_Internal_Unexpected&) {
      EXPECT_EQ(fileBytes(path("a")), "old a") << n;
      EXPECT_EQ(fileBytes(path("b")), "old b") << n;
      EXPECT_FALSE(testing_archive::exists(path("c"))) << n;
    }
    expectUserFilesKept(n);
    for (const char* name : {"a", "b", "c"}) {
      EXPECT_TRUE(testing_archive::writerFiles(path(name), ".tmp").empty()) << name << " " << n;
      EXPECT_TRUE(testing_archive::writerFiles(path(name), ".old").empty()) << name << " " << n;
    }
  }
  ASSERT_TRUE(committed);
  EXPECT_EQ(fileBytes(path("a")), "new a");
  EXPECT_EQ(fileBytes(path("c")), "new c");
}

// A second writer of the same files runs while the first one is still
// writing its temporary file (as another process or thread would): each
// writes into temporary files of its own, so both succeed and the files
// are whole, the last commit's.
TEST_F(FileGroupWriterTest, WritersOfTheSameFilesAtOnceKeepToTheirOwnFiles) {
  writeFile(path("a"), "old a");
  size_t temporariesMeanwhile = 0;
  FileGroupWriter first(FileSystem::Default());
  first.Add(path("a"), [&](std::ostream& out) {
    out << "first ";
    out.flush();
    FileGroupWriter second(FileSystem::Default());
    second.Add(path("a"), [&](std::ostream& in) {
      temporariesMeanwhile = testing_archive::writerFiles(path("a"), ".tmp").size();
      in << "second a";
    });
    second.Add(path("b"), [](std::ostream& in) { in << "second b"; });
    second.Commit();
    EXPECT_EQ(fileBytes(path("a")), "second a");
    out << "a";
  });
  first.Add(path("b"), [](std::ostream& out) { out << "first b"; });
  ASSERT_NO_THROW(first.Commit());
  EXPECT_EQ(temporariesMeanwhile, 2u);
  EXPECT_EQ(fileBytes(path("a")), "first a");
  EXPECT_EQ(fileBytes(path("b")), "first b");
  EXPECT_EQ(temporaryFiles(scratch.text()), 0);
}

TEST_F(FileGroupWriterTest, RemoveAbandonedTakesOnlyWhatWritersLeft) {
  const char* abandoned[] = {"a.123-4.tmp", "a.5-67.old"};
  const char* others[] = {"a.tmp", "a.old", "a.1-.tmp", "a.-1.tmp", "a.x-1.tmp", "a.1-2.tmpx",
                          "a.1-2.txt", "a.12.tmp", "ab.1-2.tmp", "b.1-2.tmp"};
  for (const char* name : abandoned) writeFile(path(name), "left");
  for (const char* name : others) writeFile(path(name), "kept");
  std::filesystem::create_directories(ToPath(path("a.7-8.tmp")));

  FileGroupWriter files(FileSystem::Default());
  files.Add(path("a"), [](std::ostream& out) { out << "new a"; });
  files.Commit();
  files.RemoveAbandoned();
  EXPECT_EQ(fileBytes(path("a")), "new a");
  for (const char* name : abandoned) EXPECT_FALSE(testing_archive::exists(path(name))) << name;
  for (const char* name : others) EXPECT_EQ(fileBytes(path(name)), "kept") << name;
  EXPECT_TRUE(std::filesystem::is_directory(ToPath(path("a.7-8.tmp"))));
}

}  // namespace
