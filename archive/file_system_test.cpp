#include "archive/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "archive/faulty_file_system.h"
#include "archive/memory_file_system.h"
#include "archive/test_archive.h"

namespace {

std::string readAll(FileSystem& files, const std::string& path) {
  std::unique_ptr<std::istream> in = files.OpenRead(path);
  if (!in) return "<none>";
  return std::string(std::istreambuf_iterator<char>(*in), std::istreambuf_iterator<char>());
}

bool write(FileSystem& files, const std::string& path, const std::string& bytes) {
  std::unique_ptr<std::ostream> out = files.Create(path);
  if (!out) return false;
  *out << bytes;
  return files.Close(std::move(out));
}

std::vector<std::string> listed(FileSystem& files, const std::string& path) {
  std::vector<DirectoryEntry> entries;
  files.List(path, &entries);
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : entries) names.push_back(entry.name + (entry.isDirectory ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

// The platform's file system and the one in memory behave alike.
class FileSystemTest : public ::testing::TestWithParam<bool> {
 protected:
  FileSystemTest() {
    if (GetParam()) {
      files = &memory;
      root = std::string("M:") + kPathSeparator;
      memory.CreateDirectories(root);
    } else {
      files = &FileSystem::Default();
      root = scratch.text();
    }
  }
  std::string at(const std::string& name) const { return root + name; }

  testing_archive::ScratchDirectory scratch;
  MemoryFileSystem memory;
  FileSystem* files = nullptr;
  std::string root;
};

TEST_P(FileSystemTest, FilesAreWrittenReadRenamedAndRemoved) {
  EXPECT_EQ(files->Kind(at("a")), PathKind::kNone);
  EXPECT_EQ(readAll(*files, at("a")), "<none>");
  ASSERT_TRUE(write(*files, at("a"), std::string("one\0two", 7)));
  EXPECT_EQ(files->Kind(at("a")), PathKind::kFile);
  EXPECT_EQ(readAll(*files, at("a")), std::string("one\0two", 7));
  ASSERT_TRUE(write(*files, at("a"), "x"));  // replaces what it held
  EXPECT_EQ(readAll(*files, at("a")), "x");

  ASSERT_TRUE(write(*files, at("b"), "b"));
  EXPECT_TRUE(files->Rename(at("a"), at("b")));  // replaces b at once
  EXPECT_EQ(readAll(*files, at("b")), "x");
  EXPECT_EQ(files->Kind(at("a")), PathKind::kNone);
  EXPECT_FALSE(files->Rename(at("a"), at("c")));

  EXPECT_TRUE(files->Remove(at("b")));
  EXPECT_FALSE(files->Remove(at("b")));
  EXPECT_EQ(files->Kind(at("b")), PathKind::kNone);
}

TEST_P(FileSystemTest, DirectoriesAreMadeAndListed) {
  const char s = kPathSeparator;
  const std::string deep = at(std::string("d") + s + "e" + s + "f");
  EXPECT_FALSE(files->Create(deep + s + "x"));  // no directory yet
  EXPECT_TRUE(files->CreateDirectories(deep));
  EXPECT_TRUE(files->CreateDirectories(deep + s));  // there already: fine
  EXPECT_EQ(files->Kind(at("d")), PathKind::kDirectory);
  ASSERT_TRUE(write(*files, deep + s + "x", "x"));
  ASSERT_TRUE(write(*files, at("d") + s + "file", "y"));

  EXPECT_EQ(listed(*files, at("d")), (std::vector<std::string>{"e/", "file"}));
  EXPECT_EQ(listed(*files, at("d") + s), (std::vector<std::string>{"e/", "file"}));
  std::vector<DirectoryEntry> entries;
  EXPECT_FALSE(files->List(at("missing"), &entries));
  EXPECT_TRUE(entries.empty());

  // A file stands in the way of a directory, and a directory of a file.
  EXPECT_FALSE(files->CreateDirectories(at("d") + s + "file" + s + "sub"));
  EXPECT_FALSE(files->Create(at("d")));
  EXPECT_FALSE(files->Rename(deep + s + "x", at("d") + s + "e"));
}

TEST_P(FileSystemTest, RemoveTakesFilesOnly) {
  ASSERT_TRUE(files->CreateDirectories(at("empty")));
  EXPECT_FALSE(files->Remove(at("empty")));
  EXPECT_EQ(files->Kind(at("empty")), PathKind::kDirectory);
}

TEST_P(FileSystemTest, ALockIsHeldUntilItsOwnerDropsIt) {
  using std::chrono::milliseconds;
  const std::string file = at("game.lck");
  std::unique_ptr<FileLock> first;
  ASSERT_EQ(files->Lock(file, milliseconds(0), &first), LockResult::kTaken);
  ASSERT_TRUE(first);

  // A second holder, in this process too, waits and gives up.
  std::unique_ptr<FileLock> second;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(files->Lock(file, milliseconds(60), &second), LockResult::kBusy);
  EXPECT_FALSE(second);
  if (files != &memory) {  // the disk's lock waits; the memory's cannot end meanwhile
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(50));
    EXPECT_EQ(files->Kind(file), PathKind::kFile);
    std::vector<DirectoryEntry> entries;
    files->List(root, &entries);
    EXPECT_EQ(entries.size(), 1u);
  }
  first.reset();
  EXPECT_EQ(files->Lock(file, milliseconds(0), &second), LockResult::kTaken);
  // Other files have locks of their own.
  std::unique_ptr<FileLock> other;
  EXPECT_EQ(files->Lock(at("other.lck"), milliseconds(0), &other), LockResult::kTaken);

  const char s = kPathSeparator;
  EXPECT_EQ(files->Lock(at("missing") + s + "x.lck", milliseconds(0), &other), LockResult::kFailed);
  EXPECT_FALSE(other);
  ASSERT_TRUE(files->CreateDirectories(at("folder")));
  EXPECT_EQ(files->Lock(at("folder"), milliseconds(0), &other), LockResult::kFailed);
}

TEST_P(FileSystemTest, SerialNumbersAreNeverRepeated) {
  const uint64_t first = files->NextSerial();
  EXPECT_GT(files->NextSerial(), first);
  EXPECT_EQ(files->ProcessId(), files->ProcessId());
}

INSTANTIATE_TEST_SUITE_P(PlatformAndMemory, FileSystemTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("Memory") : std::string("Platform");
                         });

TEST(MemoryFileSystem, AStreamGoesOnWritingIntoARenamedFile) {
  MemoryFileSystem memory;
  memory.CreateDirectories("M:");
  const std::string a = std::string("M:") + kPathSeparator + "a";
  const std::string b = std::string("M:") + kPathSeparator + "b";
  std::unique_ptr<std::ostream> out = memory.Create(a);
  *out << "first ";
  out->flush();
  ASSERT_TRUE(memory.Rename(a, b));
  *out << "second";
  ASSERT_TRUE(memory.Close(std::move(out)));
  EXPECT_EQ(memory.FileBytes(b), "first second");
  EXPECT_EQ(memory.Files(), std::vector<std::string>{b});
}

TEST(FaultyFileSystem, FailsTheNthCountedOperationOnly) {
  MemoryFileSystem memory;
  FaultyFileSystem faulty(memory);
  const std::string file = std::string("M:") + kPathSeparator + "f";
  // A whole save: directory, create, write, flush, close, read, rename.
  const auto save = [&] {
    if (!faulty.CreateDirectories("M:")) return false;
    if (!write(faulty, file, "bytes")) return false;
    if (!faulty.OpenRead(file)) return false;
    return faulty.Rename(file, file + "2") && memory.Rename(file + "2", file);
  };
  faulty.FailNth(1000);
  ASSERT_TRUE(save());
  const int operations = faulty.Operations();
  EXPECT_GE(operations, 6);
  for (int n = 1; n <= operations; ++n) {
    faulty.FailNth(n);
    EXPECT_FALSE(save()) << n;
  }
  faulty.Never();
  EXPECT_TRUE(save());

  // A short write takes half the bytes.
  faulty.FailNth(3, true);  // directory, create, then the write
  EXPECT_FALSE(save());
  EXPECT_EQ(memory.FileBytes(file), "by");
  // Removals, listings and lookups are never counted.
  faulty.FailNth(1);
  EXPECT_EQ(faulty.Kind(file), PathKind::kFile);
  EXPECT_EQ(listed(faulty, "M:"), std::vector<std::string>{"f"});
  EXPECT_TRUE(faulty.Remove(file));
  EXPECT_EQ(faulty.ProcessId(), memory.ProcessId());
  const uint64_t serial = faulty.NextSerial();
  EXPECT_EQ(memory.NextSerial(), serial + 1);  // one counter, the target's
  EXPECT_EQ(faulty.Operations(), 0);

  // A lock is counted, and a failing one is never taken.
  std::unique_ptr<FileLock> lock;
  faulty.FailNth(1);
  EXPECT_EQ(faulty.Lock(file, std::chrono::milliseconds(0), &lock), LockResult::kFailed);
  EXPECT_FALSE(lock);
  EXPECT_EQ(faulty.Lock(file, std::chrono::milliseconds(0), &lock), LockResult::kTaken);
  EXPECT_EQ(faulty.Operations(), 2);
}

TEST(MemoryFileSystem, StandsForTheProcessItIsGiven) {
  MemoryFileSystem memory(4242);
  EXPECT_EQ(memory.ProcessId(), 4242u);
  EXPECT_EQ(memory.NextSerial(), 1u);
  EXPECT_EQ(memory.NextSerial(), 2u);
}

}  // namespace
