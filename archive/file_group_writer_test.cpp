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
  EXPECT_EQ(fileBytes(path("a") + ".old"), "old a");
  EXPECT_FALSE(testing_archive::exists(path("b")));
  EXPECT_FALSE(testing_archive::exists(path("a") + ".tmp"));
}

}  // namespace
