#include "archive/path_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Game names are code page 1252 texts; the file system sees their
// characters (UTF-16 on Windows, UTF-8 elsewhere, as Wine writes them).
TEST(PathText, NamesKeepTheirCharactersOnTheFileSystem) {
  const std::string name = "\xC4rger \xFC \x80";  // Ärger ü €
#if defined(_WIN32)
  EXPECT_EQ(ToPath(name).wstring(), L"\u00C4rger \u00FC \u20AC");
#else
  EXPECT_EQ(ToPath(name).string(), "\xC3\x84rger \xC3\xBC \xE2\x82\xAC");
#endif
  std::string back;
  ASSERT_TRUE(FromPath(ToPath(name), &back));
  EXPECT_EQ(back, name);
  ASSERT_TRUE(FromPath(ToPath("plain/ascii"), &back));
  EXPECT_EQ(back, "plain/ascii");
}

#if !defined(_WIN32)
TEST(PathText, NamesOutsideTheCodePageAndOldByteNames) {
  std::string text = "unchanged";
  EXPECT_FALSE(FromPath(std::filesystem::path("\xD0\x96"), &text));  // Cyrillic: no such text
  EXPECT_EQ(text, "unchanged");
  // A name that is not UTF-8, as earlier builds wrote code page 1252 bytes.
  ASSERT_TRUE(FromPath(std::filesystem::path("\xC4rger"), &text));
  EXPECT_EQ(text, "\xC4rger");
}
#endif

}  // namespace
