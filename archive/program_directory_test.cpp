#include "archive/program_directory.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramDirectory, ArchiveRootOnWindowsPaths) {
  EXPECT_EQ(ProgramDirectory("D:\\TOOLS\\").ArchiveRoot('\\'), "D:\\TOOLS\\DATA\\");
  EXPECT_EQ(ProgramDirectory("D:\\TOOLS").ArchiveRoot('\\'), "D:\\TOOLS\\DATA\\");
  EXPECT_EQ(ProgramDirectory("").ArchiveRoot('\\'), "C:\\DATA\\");
  EXPECT_EQ(ProgramDirectory("/opt/vandor").ArchiveRoot('/'), "/opt/vandor/DATA/");
}

TEST(ProgramDirectory, FromTheExecutablesPath) {
  EXPECT_EQ(ProgramDirectory::FromExecutablePath("C:\\Games\\Vandor\\vandormsg.exe").Text(),
            "C:\\Games\\Vandor\\");
  EXPECT_EQ(ProgramDirectory::FromExecutablePath("/usr/local/bin/vandormsg").Text(),
            "/usr/local/bin/");
  EXPECT_EQ(ProgramDirectory::FromExecutablePath("vandormsg.exe").Text(), "");
}

}  // namespace
