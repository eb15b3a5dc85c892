#include "archive/file_group_writer.h"

#include <gtest/gtest.h>

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
  FileGroupWriter files(OpenBinaryOutput);
  files.Add(path("a"), [](std::ostream& out) { out << "new a"; });
  files.Add(path("b"), [](std::ostream& out) { out << "new b"; });
  files.Commit();
  EXPECT_EQ(fileBytes(path("a")), "new a");
  EXPECT_EQ(fileBytes(path("b")), "new b");
  EXPECT_EQ(temporaryFiles(scratch.text()), 0);
}

TEST_F(FileGroupWriterTest, AFailingContentLeavesEveryFileAlone) {
  writeFile(path("a"), "old a");
  writeFile(path("b"), "old b");
  FileGroupWriter files(OpenBinaryOutput);
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
  FileGroupWriter unopenable(OpenBinaryOutput);
  unopenable.Add(path("missing-dir") + kPathSeparator + "a", [](std::ostream& out) { out << "x"; });
  try {
    unopenable.Commit();
    ADD_FAILURE() << "no exception";
  } catch (const LExc_Internal_Unexpected& e) {
    EXPECT_EQ(e.text(), "cannot write file \"" + path("missing-dir") + kPathSeparator + "a\"");
  }

  // A directory in the file's place cannot be replaced by a file.
  std::filesystem::create_directories(ToPath(path("taken") + kPathSeparator + "inside"));
  FileGroupWriter blocked(OpenBinaryOutput);
  blocked.Add(path("taken"), [](std::ostream& out) { out << "x"; });
  try {
    blocked.Commit();
    ADD_FAILURE() << "no exception";
  } catch (const LExc_Internal_Unexpected& e) {
    EXPECT_EQ(e.text(), "cannot replace file \"" + path("taken") + "\"");
  }
  EXPECT_EQ(temporaryFiles(scratch.text()), 0);
}

}  // namespace
